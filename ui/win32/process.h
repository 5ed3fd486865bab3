#pragma once

#include "ui/behaviour/processing_dialog.h"
#include "ui/win32/modal_dialog.h"

namespace tailmend {

class TfrmMain;

// The processing dialog, drawn from its design: runs the repair over the main window's files when
// it is first shown, before it is first drawn. Its handlers keep the names of the design.
class TfrmProcessing final : public ModalDialog, public ProcessingView {
public:
  explicit TfrmProcessing(TfrmMain& frmMain);

  void SetCaption(const std::string& text) override;
  void SetControlText(std::string_view control, const std::string& text) override;
  void AppendEventRow(const std::string& file, const std::string& event) override;
  bool BackupChecked() override;

private:
  void FormShow() override;
  bool FormCloseQuery() override;
  void Click(std::string_view control) override;
  void Button1Click();

  TfrmMain& frmMain_;
  // The run's side of the dialog: StopFlag and what the button does.
  ProcessingProgress progress_{*this};
};

}  // namespace tailmend

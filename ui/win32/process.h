#pragma once

#include "engine/progress_sink.h"
#include "ui/behaviour/processing_dialog.h"
#include "ui/win32/modal_dialog.h"

namespace tailmend {

class TfrmMain;

// The processing dialog: runs the repair over the main window's files when it is first shown,
// before it is first drawn, and is the run's ProgressSink. Its controls keep the names of the
// window's design as control identifiers.
class TfrmProcessing final : public ModalDialog, public ProgressSink {
public:
  enum Control : int { Label11 = 100, Label12, Label21, Label22, Label31, Label32, Bevel1, Button1 };

  explicit TfrmProcessing(TfrmMain& frmMain);

  void SetCaption(const std::string& text) override;
  void SetStepText(Step step, StepState state) override;
  void AddEventRow(const std::string& file, const FileResult& result) override;
  bool BackupRequested() override;
  bool StopRequested() override;

private:
  void FormCreate() override;
  void FormShow() override;
  bool FormCloseQuery() override;
  void Click(int control) override;
  void Button1Click();

  TfrmMain& frmMain_;
  // StopFlag and what the button says.
  ProcessingState state_;
};

}  // namespace tailmend

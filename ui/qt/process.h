#pragma once

#include <QDialog>

#include "ui/behaviour/processing_dialog.h"

class QCloseEvent;
class QShowEvent;

namespace tailmend {

class TfrmMain;

// The processing dialog, drawn from its design: runs the repair over the main window's files
// inside its show event, before it is first drawn. Its handlers keep the names of the design,
// and each control's objectName is its design name.
class TfrmProcessing final : public QDialog, public ProcessingView {
public:
  explicit TfrmProcessing(TfrmMain& frmMain);

  void SetCaption(const std::string& text) override;
  void SetControlText(std::string_view control, const std::string& text) override;
  void AppendEventRow(const std::string& file, const std::string& event) override;
  bool BackupChecked() override;

  // The close box and Escape both end here; each is refused while the run is going.
  void reject() override;

protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

private:
  void FormShow();
  bool FormCloseQuery() const;
  void Button1Click();

  TfrmMain& frmMain_;
  // The run's side of the dialog: StopFlag and what the button does.
  ProcessingProgress progress_{*this};
};

}  // namespace tailmend

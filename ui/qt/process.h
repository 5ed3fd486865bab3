#pragma once

#include <QDialog>

#include "engine/progress_sink.h"
#include "ui/behaviour/processing_dialog.h"

class QCloseEvent;
class QFrame;
class QLabel;
class QPushButton;
class QShowEvent;

namespace tailmend {

class TfrmMain;

// The processing dialog: runs the repair over the main window's files inside its show event,
// before it is first drawn, and is the run's ProgressSink. Controls and handlers keep the names of
// the window's design; each control's objectName is its member name.
class TfrmProcessing final : public QDialog, public ProgressSink {
public:
  explicit TfrmProcessing(TfrmMain& frmMain);

  void SetCaption(const std::string& text) override;
  void SetStepText(Step step, StepState state) override;
  void AddEventRow(const std::string& file, const FileResult& result) override;
  bool BackupRequested() override;
  bool StopRequested() override;

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
  // StopFlag and what the button says.
  ProcessingState state_;

  QLabel* Label11 = nullptr;
  QLabel* Label12 = nullptr;
  QLabel* Label21 = nullptr;
  QLabel* Label22 = nullptr;
  QLabel* Label31 = nullptr;
  QLabel* Label32 = nullptr;
  QFrame* Bevel1 = nullptr;
  QPushButton* Button1 = nullptr;
};

}  // namespace tailmend

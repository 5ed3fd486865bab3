#pragma once

#include <QDialog>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

#include "ui/behaviour/processing_dialog.h"

class QCloseEvent;
class QShowEvent;
class QThread;

namespace tailmend {

class TfrmMain;

// The processing dialog, drawn from its design: its show event starts the repair of the main
// window's files on a thread of its own, and a timer shows the run's progress as it goes. Its
// handlers keep the names of the design, and each control's objectName is its design name.
class TfrmProcessing final : public QDialog, public ProcessingView {
public:
  explicit TfrmProcessing(TfrmMain& frmMain);
  // A run still going is asked to stop, and the file it is repairing is finished first.
  ~TfrmProcessing() override;

  void SetCaption(const std::string& text) override;
  void SetControlText(std::string_view control, const std::string& text) override;
  void AppendEventRows(const std::vector<EventRow>& rows) override;
  void ShowErrorBox(const std::string& message) override;

  // The close box and Escape both end here; each is refused while the run is going.
  void reject() override;

protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

private:
  void FormShow();
  bool FormCloseQuery() const;
  void Button1Click();
  void StartWorker(std::function<void()> work);
  void Refresh();

  TfrmMain& frmMain_;
  QTimer refreshTimer_;
  std::unique_ptr<QThread> worker_;
  // The run's side of the dialog: StopFlag, what the button does and what the run shows.
  ProcessingProgress progress_{*this};
};

}  // namespace tailmend

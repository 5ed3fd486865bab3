#pragma once

#include <functional>
#include <thread>
#include <vector>

#include "ui/behaviour/processing_dialog.h"
#include "ui/win32/modal_dialog.h"
#include "ui/win32/taskbar_button.h"

namespace tailmend {

class TfrmMain;

// The processing dialog, drawn from its design: when it is first shown it starts the repair of the
// main window's files on a thread of its own, and a timer shows the run's progress as it goes,
// here and on the main window's taskbar button. Its handlers keep the names of the design.
class TfrmProcessing final : public ModalDialog, public ProcessingView {
public:
  explicit TfrmProcessing(TfrmMain& frmMain);
  // A run still going is asked to stop, and the file it is repairing is finished first.
  ~TfrmProcessing() override;

  void SetCaption(const std::string& text) override;
  void SetControlText(std::string_view control, const std::string& text) override;
  void AppendEventRows(const std::vector<EventRow>& rows) override;
  void ShowErrorBox(const std::string& message) override;
  void ShowTaskbarProgress(const TaskbarProgress& progress) override;

private:
  void FormShow() override;
  bool FormCloseQuery() override;
  void Click(std::string_view control) override;
  void Notified(UINT message) override;
  void Button1Click();
  void StartWorker(std::function<void()> work);

  TfrmMain& frmMain_;
  TaskbarButton taskbar_;
  std::thread worker_;
  // The run's side of the dialog: StopFlag, what the button does and what the run shows.
  ProcessingProgress progress_{*this};
};

}  // namespace tailmend

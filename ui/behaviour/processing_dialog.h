#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/run_summary.h"
#include "engine/types.h"
#include "ui/behaviour/run_progress.h"

namespace tailmend {

// How far a run has come, as the taskbar button shows it: done of total files, in the error state
// once a file failed or the run ended on a failed backup or an error.
struct TaskbarProgress {
  std::size_t done = 0;
  std::size_t total = 0;
  bool failing = false;

  friend bool operator==(const TaskbarProgress&, const TaskbarProgress&) = default;
};

// What the processing dialog shows, as each toolkit's dialog provides it; used on the window's own
// thread only.
class ProcessingView {
public:
  virtual ~ProcessingView() = default;

  virtual void SetCaption(const std::string& text) = 0;
  // The text of one of the dialog's controls, by its design name: a step's status or the button.
  virtual void SetControlText(std::string_view control, const std::string& text) = 0;
  // Appends rows to the main window's event list.
  virtual void AppendEventRows(const std::vector<EventRow>& rows) = 0;
  // The standard error box over the dialog, with a message that the box's rule has not yet
  // touched; returns once it is closed.
  virtual void ShowErrorBox(const std::string& message) = 0;
  // Where the system shows a window's progress (the Windows taskbar); a system without such a
  // place shows nothing.
  virtual void ShowTaskbarProgress(const TaskbarProgress&) {}
};

// Starts the work on a thread of the toolkit's own; raises when no thread can be started.
using WorkerStart = std::function<void(std::function<void()> work)>;

// The processing dialog's side of a run, whichever toolkit draws it. The toolkit gives it a way to
// start the worker and calls Refresh on its window's thread every 100 ms or so and once more when
// the worker has ended; the worker never touches the window. StopFlag is the stop request the run
// reads between files and, once the run is over, the permission to close:
//   running          StopFlag false  "Stop"   press: ask to stop   close box: refused
//   stop requested   StopFlag true   "Stop"   press: ask again     close box: refused until the
//                                                                  file being repaired is done
//   finished         StopFlag true   "Close"  press: close         close box: closes
// An error that passes out of the run leaves the dialog as it was, running, with "Stop", until
// Stop is pressed; the run is over then, and the close box closes.
class ProcessingProgress final {
public:
  explicit ProcessingProgress(ProcessingView& view) : view_(view) {}

  // FormShow: a run over these files, with StopFlag false, on a worker of its own. The run is
  // the repair, in which a file's own failure gets its row "Failed" and the run goes on;
  // "Backup failed" and what passes out of the run end it. A worker that cannot be started is an
  // error out of the run. A dialog runs once: a show that comes again starts nothing.
  void Start(FileList files, bool backupRequested, const WorkerStart& startWorker);
  // Shows what changed since the last call; once the run has ended, finishes it: the run's summary
  // below the line, "Close" on the button and, when files failed, one error box listing them.
  void Refresh();

  // Button1Click: true when the press closes the dialog; otherwise it asked the run to stop.
  bool Press();
  // FormCloseQuery: the close box, Escape and the button all close only when this allows it.
  bool MayClose() const;
  // The dialog is going away: a run still going is asked to stop before its next file.
  void StopBeforeNextFile();

private:
  void Work() noexcept;
  void ShowTexts(const RunSnapshot& now);
  void ShowRows(const std::vector<EventRow>& rows);
  void Finish(const RunEnding& ending);

  ProcessingView& view_;
  FileList files_;
  std::unique_ptr<RunProgress> run_;
  // What the dialog shows now, so that only what changed is drawn again.
  std::optional<std::string> shownCaption_;
  std::array<StepState, std::size(kSteps)> shownSteps_{};
  std::optional<TaskbarProgress> shownProgress_;
  // The messages of the files that failed, each as a box says it, for the one box after the run.
  std::vector<std::string> failures_;
  RunSummary summary_;
  bool failing_ = false;
  bool ended_ = false;
  bool finished_ = false;
};

}  // namespace tailmend

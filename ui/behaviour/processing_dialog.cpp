#include "ui/behaviour/processing_dialog.h"

#include <exception>
#include <utility>

#include "engine/batch_run.h"
#include "ui/behaviour/error_box.h"
#include "ui/behaviour/listed_lines.h"

namespace tailmend {

namespace {

// The status label beside each step, in the order of the steps.
constexpr const char* kStepStatusLabels[] = {"Label12", "Label22", "Label32"};
constexpr const char* kButton = "Button1";
constexpr const char* kSummaryLabel = "Label41";

// A row that tells of a file that went wrong, for the taskbar's error state.
bool IsFailure(const EventRow& row) {
  const Event event = row.result.event;
  return event == Event::Failed || event == Event::BackupFailed || event == Event::UnknownError;
}

bool EndsInFailure(const RunEnding& ending) { return ending.end != RunEnd::Finished && ending.end != RunEnd::Stopped; }

}  // namespace

void ProcessingProgress::Start(FileList files, bool backupRequested, const WorkerStart& startWorker) {
  if (run_) return;
  files_ = std::move(files);
  run_ = std::make_unique<RunProgress>(files_.size(), backupRequested);
  try {
    startWorker([this] { Work(); });
  } catch (const std::exception& error) {
    run_->End({std::nullopt, error.what()});
  }
}

void ProcessingProgress::Work() noexcept {
  RunEnding ending;
  try {
    ending.end = ProcessFiles(files_, *run_, {OnFileError::RowAndGoOn});
  } catch (const std::exception& error) {
    ending.error = error.what();
  } catch (...) {
    ending.error = kUnknownErrorText;
  }
  run_->End(ending);
}

void ProcessingProgress::Refresh() {
  if (!run_ || ended_) return;
  RunSnapshot now = run_->Take();
  ShowTexts(now);
  ShowRows(now.newRows);
  if (now.ending && EndsInFailure(*now.ending)) failing_ = true;
  const TaskbarProgress progress{now.rowsSoFar, now.files, failing_};
  if (progress != shownProgress_) view_.ShowTaskbarProgress(progress);
  shownProgress_ = progress;
  if (now.ending) Finish(*now.ending);
}

void ProcessingProgress::ShowTexts(const RunSnapshot& now) {
  if (now.caption && now.caption != shownCaption_) view_.SetCaption(*now.caption);
  shownCaption_ = now.caption;
  for (std::size_t step = 0; step < now.steps.size(); ++step) {
    if (now.steps[step] == shownSteps_[step]) continue;
    view_.SetControlText(kStepStatusLabels[step], std::string(StepStateText(now.steps[step])));
    shownSteps_[step] = now.steps[step];
  }
}

void ProcessingProgress::ShowRows(const std::vector<EventRow>& rows) {
  if (rows.empty()) return;
  for (const EventRow& row : rows) {
    summary_.CountRow(row.result);
    if (IsFailure(row)) failing_ = true;
    if (row.result.event == Event::Failed && row.failure && !row.failure->message.empty()) {
      failures_.push_back(ErrorBoxText(row.failure->message));
    }
  }
  view_.AppendEventRows(rows);
}

// The box comes last, over a dialog that already says how the run ended.
void ProcessingProgress::Finish(const RunEnding& ending) {
  ended_ = true;
  view_.SetControlText(kSummaryLabel, summary_.Text(files_.size(), SummaryDetail::Counts));
  if (!ending.end) {
    view_.ShowErrorBox(ending.error);
    return;
  }
  run_->RequestStop();
  finished_ = true;
  view_.SetControlText(kButton, "Close");
  if (!failures_.empty()) view_.ShowErrorBox(ListedLines(failures_));
}

bool ProcessingProgress::Press() {
  if (finished_) return true;
  if (run_) run_->RequestStop();
  return false;
}

bool ProcessingProgress::MayClose() const { return !run_ || (ended_ && run_->StopRequested()); }

void ProcessingProgress::StopBeforeNextFile() {
  if (run_) run_->RequestStop();
}

}  // namespace tailmend

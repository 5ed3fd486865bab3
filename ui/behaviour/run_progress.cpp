#include "ui/behaviour/run_progress.h"

#include <utility>

namespace tailmend {

// A file's first report is its caption: the one before it is over.
void RunProgress::SetCaption(const std::string& text) {
  const std::lock_guard<std::mutex> lock(mutex_);
  HandOnCurrentRow();
  caption_ = text;
}

void RunProgress::SetStepText(Step step, StepState state) {
  const std::lock_guard<std::mutex> lock(mutex_);
  steps_[static_cast<std::size_t>(step)] = state;
}

void RunProgress::AddEventRow(const std::string& file, const FileResult& result) {
  const std::lock_guard<std::mutex> lock(mutex_);
  HandOnCurrentRow();
  currentRow_ = EventRow{file, result, std::nullopt};
}

// A failure follows its file's row (the run gives every file that fails a row).
void RunProgress::ReportFailure(const std::string& file, const FileFailure& failure) {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (currentRow_ && currentRow_->file == file) currentRow_->failure = failure;
}

void RunProgress::End(const RunEnding& ending) {
  const std::lock_guard<std::mutex> lock(mutex_);
  HandOnCurrentRow();
  ending_ = ending;
}

RunSnapshot RunProgress::Take() {
  const std::lock_guard<std::mutex> lock(mutex_);
  return {caption_, steps_, std::exchange(newRows_, {}), rowsSoFar_, files_, ending_};
}

void RunProgress::HandOnCurrentRow() {
  if (!currentRow_) return;
  newRows_.push_back(std::move(*currentRow_));
  currentRow_.reset();
  ++rowsSoFar_;
}

}  // namespace tailmend

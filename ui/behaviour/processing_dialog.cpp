#include "ui/behaviour/processing_dialog.h"

#include "engine/batch_run.h"

namespace tailmend {

namespace {

// The status label beside each step, in the order of the steps.
constexpr const char* kStepStatusLabels[] = {"Label12", "Label22", "Label32"};
constexpr const char* kButton = "Button1";

}  // namespace

void ProcessingProgress::Run(const FileList& files) {
  StopFlag = false;
  ProcessFiles(files, *this);
  StopFlag = true;
  finished_ = true;
  view_.SetControlText(kButton, "Close");
}

bool ProcessingProgress::Press() {
  if (finished_) return true;
  StopFlag = true;
  return false;
}

void ProcessingProgress::SetCaption(const std::string& text) { view_.SetCaption(text); }

void ProcessingProgress::SetStepText(Step step, StepState state) {
  view_.SetControlText(kStepStatusLabels[static_cast<std::size_t>(step)], std::string(StepStateText(state)));
}

void ProcessingProgress::AddEventRow(const std::string& file, const FileResult& result) {
  view_.AppendEventRow(file, std::string(EventText(result.event)));
}

bool ProcessingProgress::BackupRequested() { return view_.BackupChecked(); }

}  // namespace tailmend

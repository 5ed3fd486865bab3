#include "engine/run_outcomes.h"

#include "engine/progress_sink.h"

namespace tailmend {

std::string_view EventText(Event event) {
  switch (event) {
    case Event::Done: return "Done";
    case Event::NoFileTail: return "No file tail";
    case Event::InvalidCrwFile: return "Invalid crw file";
    case Event::UnknownError: return "Unknown error";
    case Event::BackupFailed: return "Backup failed";
    case Event::TailFound: return "Tail found";
    case Event::Failed: return "Failed";
  }
  return "";
}

std::string_view StepStateText(StepState state) {
  switch (state) {
    case StepState::Clear: return "";
    case StepState::Calculating: return "Calculating...";
    case StepState::Processing: return "Processing...";
    case StepState::Done: return "Done";
    case StepState::Failed: return "Failed";
    case StepState::Skipped: return "Skiped";
    case StepState::NoFileTail: return EventText(Event::NoFileTail);
    case StepState::InvalidCrwFile: return EventText(Event::InvalidCrwFile);
    case StepState::UnknownError: return EventText(Event::UnknownError);
  }
  return "";
}

void ProgressSink::ReportFailure(const std::string&, const FileFailure&) {}

}  // namespace tailmend

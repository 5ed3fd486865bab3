#include "ui/behaviour/processing_dialog.h"

#include "engine/batch_run.h"

namespace tailmend {

void ProcessingState::Run(const FileList& files, ProgressSink& sink) {
  StopFlag = false;
  ProcessFiles(files, sink);
  StopFlag = true;
  finished_ = true;
}

bool ProcessingState::Press() {
  if (ButtonCaption() == "Stop") {
    StopFlag = true;
    return false;
  }
  return true;
}

}  // namespace tailmend

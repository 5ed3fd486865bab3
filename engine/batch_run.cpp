#include "engine/batch_run.h"

#include "engine/backup_copier.h"
#include "engine/tail_locator.h"
#include "platform/file_stream.h"

namespace tailmend {

namespace {

constexpr int kStepFind = 1;
constexpr int kStepBackup = 2;
constexpr int kStepCut = 3;

// Returns false when the backup failed, which ends the whole run.
bool BackupIfRequested(const std::string& path, Stream& stream, ProgressSink& sink) {
  if (!sink.BackupRequested()) {
    sink.SetStepText(kStepBackup, "Skiped");
    return true;
  }
  sink.SetStepText(kStepBackup, "Processing...");
  if (BackupSourceFile(path, stream)) {
    sink.SetStepText(kStepBackup, "Done");
    return true;
  }
  sink.SetStepText(kStepBackup, "Failed");
  sink.AddEventRow(path, "Backup failed");
  return false;
}

// Returns false when the run must end after this file.
bool RepairFile(const std::string& path, ProgressSink& sink) {
  auto stream = FileStream::OpenReadWriteShared(path);
  const TailResult tail = FindFileTail(stream);
  if (tail < 0) {
    sink.SetStepText(kStepFind, FailureEventText(tail));
    sink.AddEventRow(path, FailureEventText(tail));
    return true;
  }
  sink.SetStepText(kStepFind, "Done");
  if (!BackupIfRequested(path, stream, sink)) return false;
  sink.SetStepText(kStepCut, "Processing...");
  stream.SetEnd(tail);
  sink.SetStepText(kStepCut, "Done");
  sink.AddEventRow(path, "Done");
  return true;
}

}  // namespace

const char* FailureEventText(TailResult code) {
  switch (code) {
    case kTailNotFound: return "No file tail";
    case kTailInvalidFile: return "Invalid crw file";
    default: return "Unknown error";
  }
}

void ProcessFiles(const FileList& files, ProgressSink& sink) {
  for (std::size_t k = 0; k < files.size(); ++k) {
    if (sink.StopRequested()) return;
    for (int step : {kStepFind, kStepBackup, kStepCut}) sink.SetStepText(step, "");
    sink.SetCaption("Processing " + std::to_string(k + 1) + " of " + std::to_string(files.size()));
    sink.SetStepText(kStepFind, "Calculating...");
    if (!RepairFile(files[k], sink)) return;
  }
}

}  // namespace tailmend

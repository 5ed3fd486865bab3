#include "engine/batch_run.h"

#include <optional>
#include <string>
#include <utility>

#include "engine/backup_copier.h"
#include "engine/file_verdict.h"
#include "engine/repaired_copy.h"
#include "engine/tail_locator.h"
#include "platform/file_stream.h"
#include "platform/platform_error.h"
#include "platform/system_error_text.h"

namespace tailmend {

namespace {

constexpr const char* kChangedReason = "It changed while it was being repaired";
constexpr const char* kChangedDuringCopyReason = "It changed while it was being copied";

// A file's own failure, with the step it happened in; the policy decides whether it ends the run.
class FileError : public PlatformError {
public:
  FileError(FailureKind kind, const PlatformError& error) : PlatformError(error), kind_(kind) {}
  FailureKind Kind() const { return kind_; }

private:
  FailureKind kind_;
};

template <typename Action>
auto Attempt(FailureKind kind, Action action) -> decltype(action()) {
  try {
    return action();
  } catch (const PlatformError& error) {
    throw FileError(kind, error);
  }
}

Event FailureEvent(TailResult code) {
  switch (code) {
    case kTailNotFound: return Event::NoFileTail;
    case kTailInvalidFile: return Event::InvalidCrwFile;
    default: return Event::UnknownError;
  }
}

StepState FailureState(TailResult code) {
  switch (code) {
    case kTailNotFound: return StepState::NoFileTail;
    case kTailInvalidFile: return StepState::InvalidCrwFile;
    default: return StepState::UnknownError;
  }
}

// The step a file's own failure shows "Failed" beside: the open is the first step's, the rest the cut's.
Step StepOf(FailureKind kind) { return kind == FailureKind::Open ? Step::FindTail : Step::Cut; }

struct OpenedFile {
  FileStream stream;
  // As it was before the scan, to be compared again right before the cut.
  FileStamp scanned;
};

OpenedFile Open(const SelectedFile& file, const RunPolicy& policy) {
  return Attempt(FailureKind::Open, [&] {
    // An original that stays as it is is opened for reading only, so that read-only media work.
    const bool onlyRead = policy.changeNothing || !policy.outputFolder.empty();
    FileStream stream = onlyRead ? FileStream::OpenReadSharedRead(file.path, file.listedAs)
                                 : FileStream::OpenReadWriteShared(file.path, file.listedAs);
    try {
      const FileStamp stamp = stream.Stamp();
      return OpenedFile{std::move(stream), stamp};
    } catch (const PlatformError& error) {
      // A file that cannot even be looked at is one that could not be opened for the repair.
      throw OpenError(file.path, error.Reason());
    }
  });
}

// Returns false when the backup failed, which ends the whole run; the name of a backup written
// goes into backup.
bool BackupIfRequested(const std::string& path, Stream& stream, const FileVerdict& verdict, ProgressSink& sink,
                       std::string& backup) {
  if (!sink.BackupRequested()) {
    sink.SetStepText(Step::Backup, StepState::Skipped);
    return true;
  }
  sink.SetStepText(Step::Backup, StepState::Processing);
  BackupOutcome outcome = BackUp(path, stream);
  if (outcome.written) {
    backup = std::move(outcome.name);
    sink.SetStepText(Step::Backup, StepState::Done);
    return true;
  }
  sink.SetStepText(Step::Backup, StepState::Failed);
  sink.AddEventRow(path, {Event::BackupFailed, verdict});
  sink.ReportFailure(path, {FailureKind::Backup, outcome.failureReason});
  return false;
}

PlatformError ChangedError(const std::string& path) {
  return PlatformError("The file \"" + path + "\" changed while it was being repaired and was not cut",
                       kChangedReason);
}

// The repaired file goes into the output folder under its name there; the original stays as it is.
// A photo that changed while it was copied is not written, whatever was copied of it.
void WriteIntoOutputFolder(const SelectedFile& selected, OpenedFile& file, TailResult tail, const RunPolicy& policy) {
  if (Attempt(FailureKind::Write,
              [&] { return WriteRepairedCopy(file.stream, file.scanned, tail, selected, policy.outputFolder); })) {
    return;
  }
  throw FileError(FailureKind::Write, PlatformError("The file \"" + selected.path +
                                                        "\" changed while it was being copied and was not written",
                                                    kChangedDuringCopyReason));
}

// Only the file that was scanned is cut: one that another program rewrote or resized since is
// left as it now is (a backup already written stays, the whole file as it was), and a cut never
// makes a file longer.
void CutIfUnchanged(const std::string& path, OpenedFile& file, TailResult tail) {
  const FileStamp now = Attempt(FailureKind::Cut, [&] { return file.stream.Stamp(); });
  if (now != file.scanned || tail >= now.size) throw FileError(FailureKind::Changed, ChangedError(path));
  Attempt(FailureKind::Cut, [&] { file.stream.SetEnd(tail); });
}

// How the run ends with this file, or nothing when it goes on. What the scan found is left in
// judged, and the backup's name in backup, for the row of a file that fails after them. A file
// whose scan a stop ended is left as it is, without a row, as the files after it are.
std::optional<RunEnd> RepairFile(const SelectedFile& selected, ProgressSink& sink, const RunPolicy& policy,
                                 FileVerdict& judged, std::string& backup) {
  const std::string& path = selected.path;
  OpenedFile file = Open(selected, policy);
  auto found = JudgeFile(file.stream, [&sink] { return sink.StopRequested(); });
  if (!found) return RunEnd::Stopped;
  judged = std::move(*found);
  const FileVerdict& verdict = judged;
  const TailResult tail = verdict.tail;
  if (tail < 0) {
    sink.SetStepText(Step::FindTail, FailureState(tail));
    sink.AddEventRow(path, {FailureEvent(tail), verdict});
    if (tail == kTailUnknownError) sink.ReportFailure(path, {FailureKind::Read, verdict.failureReason});
    return std::nullopt;
  }
  sink.SetStepText(Step::FindTail, StepState::Done);
  if (policy.changeNothing) {
    sink.AddEventRow(path, {Event::TailFound, verdict});
    return std::nullopt;
  }
  // An original repaired into another folder stays as it is, and needs no backup.
  const bool inPlace = policy.outputFolder.empty();
  if (inPlace && !BackupIfRequested(path, file.stream, verdict, sink, backup)) return RunEnd::BackupFailed;
  sink.SetStepText(Step::Cut, StepState::Processing);
  if (inPlace) {
    CutIfUnchanged(path, file, tail);
  } else {
    WriteIntoOutputFolder(selected, file, tail, policy);
  }
  sink.SetStepText(Step::Cut, StepState::Done);
  sink.AddEventRow(path, {Event::Done, verdict, backup});
  return std::nullopt;
}

}  // namespace

RunEnd ProcessFiles(const FileList& files, ProgressSink& sink, const RunPolicy& policy) {
  for (std::size_t k = 0; k < files.size(); ++k) {
    if (sink.StopRequested()) return RunEnd::Stopped;
    for (const Step step : kSteps) sink.SetStepText(step, StepState::Clear);
    sink.SetCaption("Processing " + std::to_string(k + 1) + " of " + std::to_string(files.size()));
    sink.SetStepText(Step::FindTail, StepState::Calculating);
    FileVerdict judged;
    std::string backup;  // written before a cut that then failed, it stays, and the row names it
    try {
      if (const auto end = RepairFile(files[k], sink, policy, judged, backup)) return *end;
    } catch (const FileError& error) {
      if (policy.onFileError == OnFileError::EndRun) throw;
      sink.SetStepText(StepOf(error.Kind()), StepState::Failed);
      if (policy.onFileError == OnFileError::RowAndGoOn) {
        sink.AddEventRow(files[k].path, {Event::Failed, judged, backup});
      }
      sink.ReportFailure(files[k].path, {error.Kind(), error.Reason(), error.what()});
    }
  }
  return RunEnd::Finished;
}

}  // namespace tailmend

#pragma once

#include <string>
#include <string_view>

#include "engine/file_verdict.h"
#include "engine/types.h"

namespace tailmend {

// What a run says of each file in the event list. The texts beside them are the product's own
// and are shown exactly so, misspelling included.
enum class Event {
  Done,
  NoFileTail,
  InvalidCrwFile,
  UnknownError,
  BackupFailed,
  // A run that changes nothing found the length the file would be cut to.
  TailFound,
  // The file could not be opened, changed while it was being repaired, or could not be cut or
  // written; a run that goes on after it gives it this row.
  Failed,
};

// "Done", "No file tail", "Invalid crw file", "Unknown error", "Backup failed"; "Tail found",
// "Failed".
std::string_view EventText(Event event);

// The processing dialog's three steps, and the states each shows beside it.
enum class Step { FindTail, Backup, Cut };
inline constexpr Step kSteps[] = {Step::FindTail, Step::Backup, Step::Cut};

enum class StepState {
  Clear,
  Calculating,
  Processing,
  Done,
  Failed,
  Skipped,
  NoFileTail,
  InvalidCrwFile,
  UnknownError,
};

// "", "Calculating...", "Processing...", "Done", "Failed", "Skiped", and the three failure texts
// of the locator.
std::string_view StepStateText(StepState state);

// What the run found for a file and did with it. The window shows the event; a report may say
// more of what the file is.
struct FileResult {
  Event event;
  FileVerdict verdict;  // its tail is the locator's answer the run acted on
  // The backup written of it before the cut, named as the file is (its folder, then its own name);
  // empty when none was written.
  std::string backup{};
};

// Why a file went wrong, beside its event or in its place: the window programs show their own texts
// (the event, or the error box), a report that names the file shows these.
enum class FailureKind {
  Open,     // it could not be opened: no row
  Read,     // the locator could not read it: behind "Unknown error"
  Backup,   // behind "Backup failed"
  Changed,  // another program changed it between the scan and the cut: not cut, no row
  Cut,      // the cut itself failed: no row
  Write,    // its repaired copy could not be written into the output folder: no row
};

struct FileFailure {
  FailureKind kind;
  std::string reason;  // the system's words, without the file's name
  // The whole message, naming the file, as an error box says it ("Cannot open file "%s". %s");
  // empty where the failure is only said beside its row (Read, Backup).
  std::string message{};
};

// How a run ended.
enum class RunEnd {
  Finished,      // every file was visited
  Stopped,       // a stop was asked for before a file or during the scan of one
  BackupFailed,  // a backup failed: that file is uncut and no later file was visited
};

// What becomes of a file that cannot be opened, changed meanwhile or cannot be cut.
enum class OnFileError {
  EndRun,         // the error passes out of the run as PlatformError, no later file is visited
  ReportAndGoOn,  // it is reported to the sink and the run goes on with the next file
  // It gets its row, with the event Failed, then it is reported, and the run goes on.
  RowAndGoOn,
};

struct RunPolicy {
  OnFileError onFileError = OnFileError::EndRun;
  // Finds each file's tail and reports it as TailFound; opens the files for reading only and
  // changes nothing.
  bool changeNothing = false;
  // Where not empty, every original stays as it is (opened for reading only) and each repaired
  // file is written into this folder instead, under the file's relative name or its own name.
  std::string outputFolder{};
};

}  // namespace tailmend

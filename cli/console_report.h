#pragma once

#include <optional>
#include <string>

#include "engine/folder_walk.h"
#include "engine/progress_sink.h"

namespace tailmend {

// Prints one numbered line per file on stdout and one line per failure on stderr, each written out
// at once, and remembers whether every file went well. Step texts and captions are for the window;
// a console has nothing to redraw. A report line that cannot be written stops the run before the
// next file.
class ConsoleReport final : public ProgressSink {
public:
  explicit ConsoleReport(bool backupRequested);

  void SetCaption(const std::string&) override {}
  void SetStepText(Step, StepState) override {}
  void AddEventRow(const std::string& file, const FileResult& result) override;
  bool BackupRequested() override { return backupRequested_; }
  bool StopRequested() override;
  void ReportFailure(const std::string& file, const FileFailure& failure) override;

  // What a folder walk left out, on stderr.
  void ReportNote(const WalkNote& note);
  // False (with a message already given) when the report is not whole.
  bool Finish();

  bool AllWell() const { return allWell_ && !reportBroken_; }

private:
  // Takes what became of a line written on stdout: nothing, or the system's reason.
  void CheckReportWritten(const std::optional<std::string>& problem);

  bool backupRequested_;
  int rows_ = 0;
  bool allWell_ = true;
  bool reportBroken_ = false;
};

// Makes Ctrl-C a request to stop before the next file.
void InstallInterruptHandler();

}  // namespace tailmend

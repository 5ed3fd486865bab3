#pragma once

#include <string>

#include "engine/progress_sink.h"

namespace tailmend {

// Prints one numbered line per file on stdout and remembers whether every file went well. Step
// texts and captions are for the window; a console has nothing to redraw.
class ConsoleReport final : public ProgressSink {
public:
  explicit ConsoleReport(bool backupRequested);

  void SetCaption(const std::string&) override {}
  void SetStepText(int, const std::string&) override {}
  void AddEventRow(const std::string& file, const std::string& event) override;
  bool BackupRequested() override { return backupRequested_; }
  bool StopRequested() override;

  // For a file whose processing raised an error: printed on stderr, no row.
  void ReportError(const std::string& text);
  bool AllWell() const { return allWell_; }
  // Files that got a row or an error so far.
  std::size_t FilesReported() const { return filesReported_; }
  bool BackupFailed() const { return backupFailed_; }

private:
  bool backupRequested_;
  int rows_ = 0;
  std::size_t filesReported_ = 0;
  bool allWell_ = true;
  bool backupFailed_ = false;
};

// Makes Ctrl-C a request to stop before the next file.
void InstallInterruptHandler();

}  // namespace tailmend

#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "engine/folder_walk.h"
#include "engine/progress_sink.h"
#include "engine/run_summary.h"

namespace tailmend {

// How each file is reported on stdout: a numbered line of tab-separated fields (number, file,
// event), or one JSON object per line with what the verdict found.
enum class ReportFormat { Table, Json };

// Prints one record per file on stdout, one line per failure on stderr and, when the run is over,
// a summary line on stderr; remembers whether every file went well. Step texts and captions are
// for the window; a console has nothing to redraw. A record that cannot be written stops the run
// before the next file.
class ConsoleReport final : public ProgressSink {
public:
  explicit ConsoleReport(bool backupRequested, ReportFormat format = ReportFormat::Table);

  void SetCaption(const std::string&) override {}
  void SetStepText(Step, StepState) override {}
  void AddEventRow(const std::string& file, const FileResult& result) override;
  bool BackupRequested() override { return backupRequested_; }
  bool StopRequested() override;
  void ReportFailure(const std::string& file, const FileFailure& failure) override;

  // What a folder walk left out, on stderr.
  void ReportNote(const WalkNote& note);
  // Writes out what is still buffered and the summary of a run over `listed` files; false (with a
  // message) when the report is not whole.
  bool Finish(std::size_t listed);

  bool AllWell() const { return allWell_ && !reportBroken_; }

private:
  // A JSON record waits for the failure that may follow its row.
  struct PendingRecord {
    std::string file;
    std::optional<FileResult> row;
    std::optional<FileFailure> failure;
  };

  void PrintRecord(const PendingRecord& record);
  void FlushPending();
  // Takes the system's reason when a record could not be written.
  void CheckReportWritten(const std::optional<std::string>& problem);

  bool backupRequested_;
  ReportFormat format_;
  std::optional<PendingRecord> pending_;
  // The file whose row was reported last, until the next file begins or a failure joins the row:
  // a failure of that file stands beside its row, any other in place of a row.
  std::optional<std::string> rowFile_;
  RunSummary summary_;
  int rows_ = 0;
  bool allWell_ = true;
  bool reportBroken_ = false;
};

// Makes Ctrl-C a request to stop: before the next file, or during the long scan of one.
void InstallInterruptHandler();

}  // namespace tailmend

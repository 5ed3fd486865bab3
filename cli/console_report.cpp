#include "cli/console_report.h"

#include <csignal>

#include "cli/escaped_name.h"
#include "cli/file_record.h"
#include "platform/standard_output.h"

namespace tailmend {

namespace {

volatile std::sig_atomic_t interrupted = 0;

// Windows resets a handler to the default once it has run, and the default ends the program at
// once, in the middle of a backup or a cut: a second Ctrl-C must find the handler again.
extern "C" void OnInterrupt(int) {
  interrupted = 1;
  std::signal(SIGINT, OnInterrupt);
}

bool IsGoodEvent(Event event) {
  return event == Event::Done || event == Event::NoFileTail || event == Event::TailFound;
}

std::string EventColumn(const FileResult& result) {
  if (result.event == Event::TailFound) return "Tail at " + std::to_string(result.verdict.tail);
  return std::string(EventText(result.event));
}

// One line on stderr about a file: its escaped name, what happened and, where there is one, why.
void PrintProblem(const std::string& file, std::string_view what, const std::string& reason) {
  std::string line = "tailmend-cli: " + EscapedName(file) + ": ";
  line.append(what);
  if (!reason.empty()) line += ": " + EscapedName(reason);
  WriteOutput(OutputStream::Error, line + "\n");
}

}  // namespace

ConsoleReport::ConsoleReport(bool backupRequested, ReportFormat format)
    : backupRequested_(backupRequested), format_(format) {}

void ConsoleReport::AddEventRow(const std::string& file, const FileResult& result) {
  ++rows_;
  summary_.CountRow(result);
  if (!IsGoodEvent(result.event)) allWell_ = false;
  rowFile_ = file;
  if (format_ == ReportFormat::Json) {
    FlushPending();
    pending_ = PendingRecord{file, result, std::nullopt};
    return;
  }
  CheckReportWritten(WriteOutput(OutputStream::Out,
                                 std::to_string(rows_) + "\t" + EscapedName(file) + "\t" + EventColumn(result) + "\n"));
}

// Asked before each file (and again during a long scan, before anything of that file is decided):
// the last file's record goes out first, so that a report that cannot be written stops the run
// before the next file.
bool ConsoleReport::StopRequested() {
  rowFile_.reset();
  FlushPending();
  return interrupted != 0 || reportBroken_;
}

void ConsoleReport::ReportFailure(const std::string& file, const FileFailure& failure) {
  PrintProblem(file, FailureLead(failure.kind), failure.reason);
  allWell_ = false;
  const bool besideItsRow = rowFile_ == file;
  rowFile_.reset();
  if (!besideItsRow) summary_.CountFailedFile();
  if (format_ != ReportFormat::Json) return;
  if (besideItsRow) {
    pending_->failure = failure;
    return;
  }
  FlushPending();
  PrintRecord({file, std::nullopt, failure});
}

void ConsoleReport::ReportNote(const WalkNote& note) { PrintProblem(note.path, WalkNoteText(note.kind), note.reason); }

void ConsoleReport::PrintRecord(const PendingRecord& record) {
  CheckReportWritten(WriteOutput(OutputStream::Out, FileRecordJson(record.file, record.row, record.failure) + "\n"));
}

void ConsoleReport::FlushPending() {
  if (!pending_) return;
  PrintRecord(*pending_);
  pending_.reset();
}

bool ConsoleReport::Finish(std::size_t listed) {
  FlushPending();
  WriteOutput(OutputStream::Error, "tailmend-cli: " + summary_.Text(listed, SummaryDetail::CountsAndReasons) + "\n");
  return !reportBroken_;
}

void ConsoleReport::CheckReportWritten(const std::optional<std::string>& problem) {
  if (!problem || reportBroken_) return;
  reportBroken_ = true;
  WriteOutput(OutputStream::Error, "tailmend-cli: cannot write the report: " + *problem + "\n");
}

void InstallInterruptHandler() { std::signal(SIGINT, OnInterrupt); }

}  // namespace tailmend

#include "cli/console_report.h"

#include <csignal>

#include "cli/escaped_name.h"
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

// What a report line says failed, before the system's reason.
const char* FailureLead(FailureKind kind) {
  switch (kind) {
    case FailureKind::Open: return "cannot open";
    case FailureKind::Read: return "cannot read";
    case FailureKind::Backup: return "backup failed";
    case FailureKind::Changed: return "not cut";
    case FailureKind::Cut: return "cannot cut";
    case FailureKind::Write: return "not written";
  }
  return "failed";
}

// One line on stderr about a file: its escaped name, what happened and, where there is one, why.
void PrintProblem(const std::string& file, std::string_view what, const std::string& reason) {
  std::string line = "tailmend-cli: " + EscapedName(file) + ": ";
  line.append(what);
  if (!reason.empty()) line += ": " + EscapedName(reason);
  WriteOutput(OutputStream::Error, line + "\n");
}

}  // namespace

ConsoleReport::ConsoleReport(bool backupRequested) : backupRequested_(backupRequested) {}

void ConsoleReport::AddEventRow(const std::string& file, const FileResult& result) {
  ++rows_;
  CheckReportWritten(WriteOutput(OutputStream::Out,
                                 std::to_string(rows_) + "\t" + EscapedName(file) + "\t" + EventColumn(result) + "\n"));
  if (!IsGoodEvent(result.event)) allWell_ = false;
}

bool ConsoleReport::StopRequested() { return interrupted != 0 || reportBroken_; }

void ConsoleReport::ReportFailure(const std::string& file, const FileFailure& failure) {
  PrintProblem(file, FailureLead(failure.kind), failure.reason);
  allWell_ = false;
}

void ConsoleReport::ReportNote(const WalkNote& note) { PrintProblem(note.path, WalkNoteText(note.kind), note.reason); }

bool ConsoleReport::Finish() { return !reportBroken_; }

void ConsoleReport::CheckReportWritten(const std::optional<std::string>& problem) {
  if (!problem || reportBroken_) return;
  reportBroken_ = true;
  WriteOutput(OutputStream::Error, "tailmend-cli: cannot write the report: " + *problem + "\n");
}

void InstallInterruptHandler() { std::signal(SIGINT, OnInterrupt); }

}  // namespace tailmend

#include "cli/console_report.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "cli/escaped_name.h"

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
  std::fprintf(stderr, "tailmend-cli: %s: %.*s%s%s\n", EscapedName(file).c_str(), static_cast<int>(what.size()),
               what.data(), reason.empty() ? "" : ": ", EscapedName(reason).c_str());
}

}  // namespace

ConsoleReport::ConsoleReport(bool backupRequested) : backupRequested_(backupRequested) {}

void ConsoleReport::AddEventRow(const std::string& file, const FileResult& result) {
  ++rows_;
  const int printed = std::printf("%d\t%s\t%s\n", rows_, EscapedName(file).c_str(), EventColumn(result).c_str());
  CheckReportWritten(printed >= 0 && std::fflush(stdout) == 0);
  if (!IsGoodEvent(result.event)) allWell_ = false;
}

bool ConsoleReport::StopRequested() { return interrupted != 0 || reportBroken_; }

void ConsoleReport::ReportFailure(const std::string& file, const FileFailure& failure) {
  PrintProblem(file, FailureLead(failure.kind), failure.reason);
  allWell_ = false;
}

void ConsoleReport::ReportNote(const WalkNote& note) { PrintProblem(note.path, WalkNoteText(note.kind), note.reason); }

bool ConsoleReport::Finish() {
  CheckReportWritten(std::fflush(stdout) == 0);
  return !reportBroken_;
}

void ConsoleReport::CheckReportWritten(bool written) {
  if (written || reportBroken_) return;
  reportBroken_ = true;
  std::fprintf(stderr, "tailmend-cli: cannot write the report: %s\n", std::strerror(errno));
}

void InstallInterruptHandler() { std::signal(SIGINT, OnInterrupt); }

}  // namespace tailmend

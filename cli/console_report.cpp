#include "cli/console_report.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "cli/escaped_name.h"
#include "cli/file_record.h"

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
  std::fprintf(stderr, "tailmend-cli: %s: %.*s%s%s\n", EscapedName(file).c_str(), static_cast<int>(what.size()),
               what.data(), reason.empty() ? "" : ": ", EscapedName(reason).c_str());
}

}  // namespace

ConsoleReport::ConsoleReport(bool backupRequested, ReportFormat format)
    : backupRequested_(backupRequested), format_(format) {}

void ConsoleReport::AddEventRow(const std::string& file, const FileResult& result) {
  ++rows_;
  summary_.CountRow(result);
  if (!IsGoodEvent(result.event)) allWell_ = false;
  if (format_ == ReportFormat::Json) {
    FlushPending();
    pending_ = PendingRecord{file, result, std::nullopt};
    return;
  }
  const int printed = std::printf("%d\t%s\t%s\n", rows_, EscapedName(file).c_str(), EventColumn(result).c_str());
  CheckReportWritten(printed >= 0 && std::fflush(stdout) == 0);
}

// Asked before each file: the last file's record goes out first, so that a report that cannot be
// written stops the run before the next file.
bool ConsoleReport::StopRequested() {
  FlushPending();
  return interrupted != 0 || reportBroken_;
}

void ConsoleReport::ReportFailure(const std::string& file, const FileFailure& failure) {
  PrintProblem(file, FailureLead(failure.kind), failure.reason);
  summary_.CountFailure(failure.kind);
  allWell_ = false;
  if (format_ != ReportFormat::Json) return;
  if (pending_ && pending_->file == file && !pending_->failure) {
    pending_->failure = failure;
    return;
  }
  FlushPending();
  PrintRecord({file, std::nullopt, failure});
}

void ConsoleReport::ReportNote(const WalkNote& note) { PrintProblem(note.path, WalkNoteText(note.kind), note.reason); }

void ConsoleReport::PrintRecord(const PendingRecord& record) {
  const std::string line = FileRecordJson(record.file, record.row, record.failure);
  const int printed = std::printf("%s\n", line.c_str());
  CheckReportWritten(printed >= 0 && std::fflush(stdout) == 0);
}

void ConsoleReport::FlushPending() {
  if (!pending_) return;
  PrintRecord(*pending_);
  pending_.reset();
}

bool ConsoleReport::Finish(std::size_t listed) {
  FlushPending();
  CheckReportWritten(std::fflush(stdout) == 0);
  std::fprintf(stderr, "tailmend-cli: %s\n", summary_.Text(listed).c_str());
  return !reportBroken_;
}

void ConsoleReport::CheckReportWritten(bool written) {
  if (written || reportBroken_) return;
  reportBroken_ = true;
  std::fprintf(stderr, "tailmend-cli: cannot write the report: %s\n", std::strerror(errno));
}

void InstallInterruptHandler() { std::signal(SIGINT, OnInterrupt); }

}  // namespace tailmend

#include "cli/console_report.h"

#include "cli/escaped_name.h"

#include <csignal>
#include <cstdio>
#include <string_view>

namespace tailmend {

namespace {

volatile std::sig_atomic_t interrupted = 0;

// Windows resets a handler to the default once it has run, and the default ends the program at
// once, in the middle of a backup or a cut: a second Ctrl-C must find the handler again.
extern "C" void OnInterrupt(int) {
  interrupted = 1;
  std::signal(SIGINT, OnInterrupt);
}

bool IsGoodEvent(std::string_view event) {
  return event == "Done" || event == "No file tail" || event.starts_with("Tail at ");
}

}  // namespace

ConsoleReport::ConsoleReport(bool backupRequested) : backupRequested_(backupRequested) {}

void ConsoleReport::AddEventRow(const std::string& file, const std::string& event) {
  ++rows_;
  ++filesReported_;
  std::printf("%d\t%s\t%s\n", rows_, EscapedName(file).c_str(), event.c_str());
  std::fflush(stdout);
  if (!IsGoodEvent(event)) allWell_ = false;
  if (event == "Backup failed") backupFailed_ = true;
}

bool ConsoleReport::StopRequested() { return interrupted != 0; }

void ConsoleReport::ReportError(const std::string& text) {
  std::fprintf(stderr, "tailmend-cli: %s\n", text.c_str());
  ++filesReported_;
  allWell_ = false;
}

void InstallInterruptHandler() { std::signal(SIGINT, OnInterrupt); }

}  // namespace tailmend

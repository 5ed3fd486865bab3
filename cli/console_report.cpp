#include "cli/console_report.h"

#include <csignal>
#include <cstdio>
#include <string_view>

namespace tailmend {

namespace {

volatile std::sig_atomic_t interrupted = 0;

extern "C" void OnInterrupt(int) { interrupted = 1; }

bool IsGoodEvent(std::string_view event) {
  return event == "Done" || event == "No file tail" || event.starts_with("Tail at ");
}

}  // namespace

ConsoleReport::ConsoleReport(bool backupRequested) : backupRequested_(backupRequested) {}

void ConsoleReport::AddEventRow(const std::string& file, const std::string& event) {
  ++rows_;
  ++filesReported_;
  std::printf("%d\t%s\t%s\n", rows_, file.c_str(), event.c_str());
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

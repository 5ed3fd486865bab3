#include <gtest/gtest.h>

#include <csignal>

#include "cli/console_report.h"

namespace tailmend::test {
namespace {

// The C runtime on Windows puts the default handler back after each signal; an impatient second
// Ctrl-C must still be only a request to stop before the next file, not the end of the program.
TEST(Interrupt, EveryCtrlCIsARequestToStop) {
  ConsoleReport report(false);
  InstallInterruptHandler();
  EXPECT_FALSE(report.StopRequested());
  std::raise(SIGINT);
  std::raise(SIGINT);
  std::raise(SIGINT);
  EXPECT_TRUE(report.StopRequested());
}

}  // namespace
}  // namespace tailmend::test

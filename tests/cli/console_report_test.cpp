#include <gtest/gtest.h>

#include "cli/console_report.h"

namespace tailmend::test {
namespace {

// Each failure is one line: the escaped name, what failed, and the reason, escaped too (it may
// hold a name, as "... is already there" does).
TEST(ConsoleReport, EachFailureIsOneLineWithTheNameWhatFailedAndWhy) {
  const struct {
    FailureKind kind;
    const char* line;
  } cases[] = {
      {FailureKind::Open, "tailmend-cli: a\\tb.CRW: cannot open: why\\x1B[2J\n"},
      {FailureKind::Read, "tailmend-cli: a\\tb.CRW: cannot read: why\\x1B[2J\n"},
      {FailureKind::Backup, "tailmend-cli: a\\tb.CRW: backup failed: why\\x1B[2J\n"},
      {FailureKind::Changed, "tailmend-cli: a\\tb.CRW: not cut: why\\x1B[2J\n"},
      {FailureKind::Cut, "tailmend-cli: a\\tb.CRW: cannot cut: why\\x1B[2J\n"},
  };
  for (const auto& expected : cases) {
    ConsoleReport report(false);
    ::testing::internal::CaptureStderr();
    report.ReportFailure("a\tb.CRW", {expected.kind, "why\x1b[2J"});
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), expected.line);
    EXPECT_FALSE(report.AllWell());
  }
}

}  // namespace
}  // namespace tailmend::test

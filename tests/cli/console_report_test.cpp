#include <gtest/gtest.h>

#include "cli/console_report.h"

namespace tailmend::test {
namespace {

// Each failure is one line: the escaped name, what failed, and the reason.
TEST(ConsoleReport, EachFailureIsOneLineWithTheNameWhatFailedAndWhy) {
  const struct {
    FailureKind kind;
    const char* line;
  } cases[] = {
      {FailureKind::Open, "tailmend-cli: a\\tb.CRW: cannot open: why\n"},
      {FailureKind::Read, "tailmend-cli: a\\tb.CRW: cannot read: why\n"},
      {FailureKind::Backup, "tailmend-cli: a\\tb.CRW: backup failed: why\n"},
      {FailureKind::Changed, "tailmend-cli: a\\tb.CRW: not cut: why\n"},
      {FailureKind::Cut, "tailmend-cli: a\\tb.CRW: cannot cut: why\n"},
  };
  for (const auto& expected : cases) {
    ConsoleReport report(false);
    ::testing::internal::CaptureStderr();
    report.ReportFailure("a\tb.CRW", {expected.kind, "why"});
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), expected.line);
    EXPECT_FALSE(report.AllWell());
  }
}

}  // namespace
}  // namespace tailmend::test

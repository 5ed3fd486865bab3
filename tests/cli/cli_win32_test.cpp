// tailmend-cli on what only Windows has: names from a wide-character command line, files another
// program holds locked, and a C runtime that forgets a signal handler once it has run.
#include <windows.h>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

#include "cli/console_report.h"
#include "tests/cli/cli_runner.h"
#include "tests/support/ciff_builder.h"
#include "tests/support/photo_folder_test.h"
#include "tests/support/temp_dir.h"
#include "tests/support/win32_texts.h"

namespace tailmend::test {
namespace {

namespace fs = std::filesystem;

class CliWin32 : public PhotoFolderTest {};

// The names come from the wide-character command line, not from the ANSI code page, and are
// printed as UTF-8.
TEST_F(CliWin32, BackupOfANameOutsideTheAnsiCodePage) {
  const std::string photo = dir.Put("Снимок_東京.CRW", damaged);
  const CliRun run = RunCli({"--backup", photo});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, Lines({"1\t" + photo + "\tDone"}));
  EXPECT_EQ(ReadBytes(dir.File("Снимок_東京_bak0.crw")), damaged);
  EXPECT_EQ(ReadBytes(photo), healthy);
}

// A file another program keeps locked is reported with the system's own message, trimmed.
TEST_F(CliWin32, ALockedFileIsReportedWithTheSystemsMessage) {
  const std::string locked = dir.Put("locked.CRW", damaged);
  const HANDLE lock =
      ::CreateFileW(Wide(locked).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  const CliRun run = RunCli({locked});
  ::CloseHandle(lock);
  EXPECT_EQ(run.status, 1);
  ASSERT_GE(run.err.size(), 2u);
  EXPECT_EQ(run.err.substr(run.err.size() - 2), "\r\n");
  ExpectPrefixAndSystemMessage(run.err.substr(0, run.err.size() - 2), "tailmend-cli: " + locked + ": cannot open: ",
                               ERROR_SHARING_VIOLATION);
  EXPECT_EQ(ReadBytes(locked), damaged);
}

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

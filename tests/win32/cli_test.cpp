// tailmend-cli.exe run for real, as a batch file would run it: started with CreateProcessW on a
// wide-character command line, its output in files, on files in a temporary folder.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/ciff_builder.h"
#include "tests/support/temp_dir.h"
#include "tests/win32/win32_test_support.h"

namespace tailmend::test {
namespace {

namespace fs = std::filesystem;

struct CliRun {
  DWORD status = 0xFFFFFFFF;
  std::string out;
  std::string err;
};

// The program lies where CMake put it, relative to this test program.
std::wstring CliPath() {
  wchar_t self[MAX_PATH];
  const DWORD length = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  const fs::path here = fs::path(std::wstring(self, length)).parent_path();
  return (here / fs::u8path(TAILMEND_CLI_FROM_TESTS)).lexically_normal().wstring();
}

// Quoting as CommandLineToArgvW reads it; the test names hold no quote and end in no backslash.
std::wstring CommandLine(const std::vector<std::string>& arguments) {
  std::wstring line = L"\"" + CliPath() + L"\"";
  for (const auto& argument : arguments) line += L" \"" + Wide(argument) + L"\"";
  return line;
}

HANDLE InheritableOutput(const fs::path& path) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  return ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

std::string TextOf(const fs::path& path) {
  const Bytes bytes = ReadBytes(reinterpret_cast<const char*>(path.u8string().c_str()));
  return std::string(bytes.begin(), bytes.end());
}

class Cli : public ::testing::Test {
protected:
  TempDir dir;
  TempDir outputs;
  const Bytes damaged = CiffBuilder().HeapEnd(700000).Junk(4096).Build();
  const Bytes healthy = CiffBuilder().HeapEnd(700000).Build();

  CliRun Run(const std::vector<std::string>& arguments) {
    const fs::path outPath = outputs.Path() / "stdout.txt";
    const fs::path errPath = outputs.Path() / "stderr.txt";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = InheritableOutput(outPath);
    startup.hStdError = InheritableOutput(errPath);
    PROCESS_INFORMATION process{};
    std::wstring line = CommandLine(arguments);
    const BOOL started = ::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                          &startup, &process);
    ::CloseHandle(startup.hStdOutput);
    ::CloseHandle(startup.hStdError);
    CliRun run;
    if (!started) {
      ADD_FAILURE() << "cannot start tailmend-cli, error " << ::GetLastError();
      return run;
    }
    if (::WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0) ::GetExitCodeProcess(process.hProcess, &run.status);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    run.out = TextOf(outPath);
    run.err = TextOf(errPath);
    return run;
  }
};

TEST_F(Cli, RepairsEachFileAndPrintsOneLinePerFile) {
  const std::string a = dir.Put("a.CRW", damaged);
  const std::string b = dir.Put("b.CRW", healthy);
  const CliRun run = Run({a, b});
  EXPECT_EQ(run.status, 0u);
  EXPECT_EQ(run.out, "1\t" + a + "\tDone\r\n2\t" + b + "\tNo file tail\r\n");
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(ReadBytes(a), healthy);
  EXPECT_FALSE(fs::exists(dir.File("a_bak0.crw")));
}

// The names come from the wide-character command line, not from the ANSI code page, and are
// printed as UTF-8.
TEST_F(Cli, BackupOfANameOutsideTheAnsiCodePage) {
  const std::string photo = dir.Put("Снимок_東京.CRW", damaged);
  const CliRun run = Run({"--backup", photo});
  EXPECT_EQ(run.status, 0u);
  EXPECT_EQ(run.out, "1\t" + photo + "\tDone\r\n");
  EXPECT_EQ(ReadBytes(dir.File("Снимок_東京_bak0.crw")), damaged);
  EXPECT_EQ(ReadBytes(photo), healthy);
}

TEST_F(Cli, CheckReportsTheLengthAndChangesNothing) {
  const std::string a = dir.Put("a.CRW", damaged);
  const CliRun run = Run({"--check", "--backup", a});
  EXPECT_EQ(run.status, 0u);
  EXPECT_EQ(run.out, "1\t" + a + "\tTail at 700000\r\n");
  EXPECT_EQ(ReadBytes(a), damaged);
  EXPECT_FALSE(fs::exists(dir.File("a_bak0.crw")));
}

// A file another program keeps locked is reported on stderr with the system's message; the run
// goes on with the next file and the exit status says not all went well.
TEST_F(Cli, ALockedFileIsReportedAndTheRunGoesOn) {
  const std::string locked = dir.Put("locked.CRW", damaged);
  const std::string invalid = dir.Put("small.CRW", Bytes(1000, 'I'));
  const std::string a = dir.Put("a.CRW", damaged);
  const HANDLE lock = ::CreateFileW(Wide(locked).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  const CliRun run = Run({locked, invalid, a});
  ::CloseHandle(lock);
  EXPECT_EQ(run.status, 1u);
  EXPECT_EQ(run.out, "1\t" + invalid + "\tInvalid crw file\r\n2\t" + a + "\tDone\r\n");
  const std::string prefix = "tailmend-cli: " + locked + ": cannot open: ";
  ASSERT_GE(run.err.size(), 2u);
  EXPECT_EQ(run.err.substr(run.err.size() - 2), "\r\n");
  ExpectPrefixAndSystemMessage(run.err.substr(0, run.err.size() - 2), prefix, ERROR_SHARING_VIOLATION);
  EXPECT_EQ(ReadBytes(locked), damaged);
}

// A folder is walked through the Win32 listing: names in sorted order, with backslashes, through
// subfolders; other files and backup copies stay as they are.
TEST_F(Cli, AFolderStandsForTheCrwFilesBelowIt) {
  const std::string card = dir.File("card");
  fs::create_directories(fs::u8path(card + "\\sub"));
  const std::string a = dir.Put("card\\a.crw", damaged);
  const std::string b = dir.Put("card\\B.CRW", healthy);
  const std::string c = dir.Put("card\\sub\\Снимок.Crw", damaged);
  const std::string notes = dir.Put("card\\notes.txt", damaged);
  const std::string backup = dir.Put("card\\a_bak0.crw", damaged);
  const CliRun run = Run({card});
  EXPECT_EQ(run.status, 0u) << run.err;
  EXPECT_EQ(run.out, "1\t" + card + "\\B.CRW\tNo file tail\r\n2\t" + card + "\\a.crw\tDone\r\n3\t" + card +
                         "\\sub\\Снимок.Crw\tDone\r\n");
  EXPECT_EQ(run.err, "tailmend-cli: " + card + "\\a_bak0.crw: skipped: a backup copy\r\n");
  for (const auto& photo : {a, b, c}) EXPECT_EQ(ReadBytes(photo), healthy) << photo;
  EXPECT_EQ(ReadBytes(notes), damaged);
  EXPECT_EQ(ReadBytes(backup), damaged);
}

TEST_F(Cli, UsageErrorsExitWithTwoAndTouchNothing) {
  const std::string a = dir.Put("a.CRW", damaged);
  for (const auto& arguments : std::vector<std::vector<std::string>>{{}, {"--fix", a}}) {
    const CliRun run = Run(arguments);
    EXPECT_EQ(run.status, 2u);
    EXPECT_NE(run.err.find("Usage: tailmend-cli"), std::string::npos);
    EXPECT_EQ(run.out, "");
  }
  EXPECT_EQ(ReadBytes(a), damaged);
}

}  // namespace
}  // namespace tailmend::test

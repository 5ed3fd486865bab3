// tailmend-cli on what only Windows has: names from a wide-character command line, a console that
// takes UTF-16, files another program holds locked, and a C runtime that forgets a signal handler
// once it has run.
#include <windows.h>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/console_report.h"
#include "generated/version.h"
#include "tests/cli/cli_runner_win32.h"
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

// A console of the test's own, such as a user's window would show: the program writes into one of
// its screen buffers, which the test reads back cell by cell.
class ConsoleScreen {
public:
  ConsoleScreen() {
    // A process may have one console at a time; whatever the test was started with goes first.
    ::FreeConsole();
    // The console's own process would inherit them and keep the test's output open after the end.
    for (const auto& [which, handle] : standardHandles_) ::SetHandleInformation(handle, HANDLE_FLAG_INHERIT, 0);
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    if (::AllocConsole()) {
      buffer_ = ::CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                            CONSOLE_TEXTMODE_BUFFER, nullptr);
    }
    // Wide enough that no line wraps.
    if (Ready()) ::SetConsoleScreenBufferSize(buffer_, COORD{kWidth, 50});
  }
  ConsoleScreen(const ConsoleScreen&) = delete;
  ConsoleScreen& operator=(const ConsoleScreen&) = delete;
  // The console stays the test program's until it ends: a console program started by a process
  // with none gets a console of its own, which outlives it for a moment and holds its files open.
  ~ConsoleScreen() {
    if (Ready()) ::CloseHandle(buffer_);
    for (const auto& [which, handle] : standardHandles_) ::SetStdHandle(which, handle);
  }

  bool Ready() const { return buffer_ != INVALID_HANDLE_VALUE; }
  HANDLE Buffer() const { return buffer_; }

  // The rows written so far, without the blanks that fill each to the buffer's width.
  std::vector<std::wstring> Rows() const {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    ::GetConsoleScreenBufferInfo(buffer_, &info);
    std::vector<std::wstring> rows;
    for (SHORT y = 0; y < info.dwCursorPosition.Y; ++y) {
      std::wstring row(kWidth, L' ');
      DWORD read = 0;
      ::ReadConsoleOutputCharacterW(buffer_, row.data(), kWidth, COORD{0, y}, &read);
      row.resize(row.find_last_not_of(L' ') + 1);
      rows.push_back(row);
    }
    return rows;
  }

private:
  static constexpr SHORT kWidth = 400;
  // AllocConsole points them at the new console; the test's own output keeps going where it went.
  const std::pair<DWORD, HANDLE> standardHandles_[3] = {{STD_INPUT_HANDLE, ::GetStdHandle(STD_INPUT_HANDLE)},
                                                        {STD_OUTPUT_HANDLE, ::GetStdHandle(STD_OUTPUT_HANDLE)},
                                                        {STD_ERROR_HANDLE, ::GetStdHandle(STD_ERROR_HANDLE)}};
  HANDLE buffer_ = INVALID_HANDLE_VALUE;
};

// A console shows UTF-8 bytes in its own code page, a Cyrillic or Japanese name as nonsense: it is
// given the text in UTF-16, rows, failures and the summary alike. (A file gets UTF-8, as the cases above show.)
TEST_F(CliWin32, AConsoleShowsNamesOutsideItsCodePageAsTheyAreSpelt) {
  const std::string photo = dir.Put("Снимок_東京.CRW", damaged);
  const std::string missing = dir.File("Нет_無い.CRW");
  const ConsoleScreen console;
  ASSERT_TRUE(console.Ready()) << "no console, error " << ::GetLastError();
  EXPECT_EQ(RunCliOn({"--check", photo, missing}, console.Buffer(), console.Buffer()), 1);
  const std::vector<std::wstring> rows = console.Rows();
  ASSERT_EQ(rows.size(), 3u) << ::testing::PrintToString(rows);
  // Each tab has become the blanks up to the console's next tab stop.
  EXPECT_TRUE(rows[0].starts_with(L"1 ")) << ::testing::PrintToString(rows[0]);
  EXPECT_NE(rows[0].find(L" " + Wide(photo) + L" "), std::wstring::npos) << ::testing::PrintToString(rows[0]);
  EXPECT_TRUE(rows[0].ends_with(L" Tail at 700000")) << ::testing::PrintToString(rows[0]);
  EXPECT_TRUE(rows[1].starts_with(L"tailmend-cli: " + Wide(missing) + L": cannot open: "))
      << ::testing::PrintToString(rows[1]);
  EXPECT_TRUE(rows[2].starts_with(L"tailmend-cli: 2 files: ")) << "the summary closes the run";
}

// The NUL device is a character device as a console is, but takes bytes: output thrown away there
// is written, and the run goes on.
TEST_F(CliWin32, OutputIntoTheNulDeviceIsWritten) {
  const std::string photo = dir.Put("IMG_0042.CRW", damaged);
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  const HANDLE nul = ::CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(nul, INVALID_HANDLE_VALUE);
  EXPECT_EQ(RunCliOn({photo, photo}, nul, nul), 0);
  ::CloseHandle(nul);
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

// One of the program's resources, read as data from its file (none of its code runs): its bytes.
std::string ResourceOf(const std::wstring& program, const char* type, const char* name) {
  const HMODULE module =
      ::LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (module == nullptr) return {};
  std::string bytes;
  if (const HRSRC found = ::FindResourceA(module, name, type)) {
    bytes.assign(static_cast<const char*>(::LockResource(::LoadResource(module, found))),
                 ::SizeofResource(module, found));
  }
  ::FreeLibrary(module);
  return bytes;
}

// Text as the version information holds it: UTF-16.
std::string Utf16Bytes(const std::string& text) {
  const std::wstring wide = Wide(text);
  return std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(wchar_t));
}

// Paths of any length, the Windows versions it was made for, an ordinary user's rights; no
// common controls, which a console program never loads. Explorer shows the version information.
TEST(CliResources, TheManifestAndTheVersionInformationAreInTailmendCliExe) {
  const std::string manifest = ResourceOf(CliPath(), RT_MANIFEST, CREATEPROCESS_MANIFEST_RESOURCE_ID);
  ASSERT_FALSE(manifest.empty()) << "no manifest in " << ::testing::PrintToString(CliPath());
  for (const char* declared : {"<longPathAware xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">true<",
                               "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>",
                               "<requestedExecutionLevel level=\"asInvoker\""}) {
    EXPECT_NE(manifest.find(declared), std::string::npos) << declared << " in\n" << manifest;
  }
  EXPECT_EQ(manifest.find("Common-Controls"), std::string::npos) << manifest;
  const std::string version = ResourceOf(CliPath(), RT_VERSION, MAKEINTRESOURCEA(VS_VERSION_INFO));
  for (const std::string& value : {std::string(kFileVersion), std::string("tailmend-cli.exe")}) {
    EXPECT_NE(version.find(Utf16Bytes(value)), std::string::npos) << value;
  }
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

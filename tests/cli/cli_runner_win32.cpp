#include <windows.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "tests/cli/cli_runner_win32.h"
#include "tests/support/ciff_builder.h"
#include "tests/support/temp_dir.h"
#include "tests/support/win32_texts.h"

namespace tailmend::test {

namespace {

namespace fs = std::filesystem;

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

}  // namespace

// The program lies where CMake put it, relative to this test program.
std::wstring CliPath() {
  wchar_t self[MAX_PATH];
  const DWORD length = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  const fs::path here = fs::path(std::wstring(self, length)).parent_path();
  return (here / fs::u8path(TAILMEND_CLI_FROM_TESTS)).lexically_normal().wstring();
}

int RunCliOn(const std::vector<std::string>& arguments, HANDLE output, HANDLE error) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = output;
  startup.hStdError = error;
  PROCESS_INFORMATION process{};
  std::wstring line = CommandLine(arguments);
  if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
    ADD_FAILURE() << "cannot start tailmend-cli, error " << ::GetLastError();
    return -1;
  }
  DWORD status = 0xFFFFFFFF;
  if (::WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0) ::GetExitCodeProcess(process.hProcess, &status);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return static_cast<int>(status);
}

CliRun RunCli(const std::vector<std::string>& arguments) {
  const TempDir outputs;
  const fs::path outPath = outputs.Path() / "stdout.txt";
  const fs::path errPath = outputs.Path() / "stderr.txt";
  const HANDLE output = InheritableOutput(outPath);
  const HANDLE error = InheritableOutput(errPath);
  CliRun run;
  run.status = RunCliOn(arguments, output, error);
  ::CloseHandle(output);
  ::CloseHandle(error);
  run.out = TextOf(outPath);
  run.err = TextOf(errPath);
  TakeSummary(run);
  return run;
}

const char* const kLineEnd = "\r\n";

}  // namespace tailmend::test

#include "tests/win32/temp_folder.h"

#include <windows.h>

#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "platform/wide_text_win32.h"

namespace tailmend::test {

namespace {

std::wstring TempPath() {
  wchar_t buffer[MAX_PATH + 1];
  const DWORD length = ::GetTempPathW(MAX_PATH + 1, buffer);
  if (length == 0 || length > MAX_PATH) throw std::runtime_error("GetTempPathW failed");
  return std::wstring(buffer, length);
}

std::wstring MakeUniqueFolder() {
  const std::wstring base = TempPath() + L"tailmend-test-" + std::to_wstring(::GetCurrentProcessId()) + L"-";
  for (unsigned attempt = 0;; ++attempt) {
    const std::wstring candidate = base + std::to_wstring(attempt);
    if (::CreateDirectoryW(candidate.c_str(), nullptr)) return candidate + L"\\";
    if (::GetLastError() != ERROR_ALREADY_EXISTS) throw std::runtime_error("CreateDirectoryW failed");
  }
}

struct HandleCloser {
  HANDLE handle;
  ~HandleCloser() { ::CloseHandle(handle); }
};

}  // namespace

TempFolder::TempFolder() : wide_(MakeUniqueFolder()) {}

TempFolder::~TempFolder() {
  std::error_code ignored;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(wide_, ignored)) {
    ::SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  std::filesystem::remove_all(wide_, ignored);
}

std::string TempFolder::Utf8(const std::wstring& name) const { return Utf8FromWide(Wide(name)); }

std::string TempFolder::Write(const std::wstring& name, const Bytes& bytes) const {
  const HANDLE file = ::CreateFileW(Wide(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot create a test file");
  const HandleCloser closer{file};
  DWORD written = 0;
  if (!::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
      written != bytes.size()) {
    throw std::runtime_error("cannot write a test file");
  }
  return Utf8(name);
}

Bytes ReadWhole(const std::wstring& path) {
  const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open a test file");
  const HandleCloser closer{file};
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file, &size)) throw std::runtime_error("cannot size a test file");
  Bytes bytes(static_cast<std::size_t>(size.QuadPart));
  DWORD got = 0;
  if (!::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) || got != bytes.size()) {
    throw std::runtime_error("cannot read a test file");
  }
  return bytes;
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace tailmend::test

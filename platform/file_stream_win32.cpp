#include <windows.h>

#include <algorithm>
#include <utility>

#include "platform/file_stream.h"
#include "platform/platform_error.h"
#include "platform/system_error_text.h"
#include "platform/wide_text_win32.h"

namespace tailmend {

namespace {

// ReadFile and WriteFile take a 32-bit count; larger transfers go in pieces.
constexpr std::size_t kMaxChunk = 1u << 30;

HANDLE Native(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }
std::intptr_t Stored(HANDLE handle) { return reinterpret_cast<std::intptr_t>(handle); }

// Call right after the failing function, before anything else can overwrite the code.
[[noreturn]] void ThrowLastError() {
  const DWORD code = ::GetLastError();
  throw PlatformError(SystemErrorText(static_cast<int>(code)));
}

std::wstring WidePathOrThrow(const std::string& path) {
  auto wide = WideFromUtf8(path);
  if (!wide) throw PlatformError(OpenErrorText(path, ERROR_NO_UNICODE_TRANSLATION));
  return std::move(*wide);
}

// Consoles, pipes and other devices open like files but cannot be repaired.
void RequireDiskFile(HANDLE handle, const std::string& path) {
  if (::GetFileType(handle) == FILE_TYPE_DISK) return;
  ::CloseHandle(handle);
  throw PlatformError(OpenErrorText(path, ERROR_INVALID_PARAMETER));
}

HANDLE OpenExisting(const std::string& path, DWORD access, DWORD share) {
  const std::wstring wide = WidePathOrThrow(path);
  const HANDLE handle =
      ::CreateFileW(wide.c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD code = ::GetLastError();
    throw PlatformError(OpenErrorText(path, static_cast<int>(code)));
  }
  RequireDiskFile(handle, path);
  return handle;
}

// CREATE_NEW fails this way on any name already there: a file, a folder or a link.
bool IsNameTaken(DWORD code) { return code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS; }

}  // namespace

void FileStream::Release(Handle handle) noexcept { ::CloseHandle(Native(handle)); }

// Others may read and write the file meanwhile, but not delete or rename it.
FileStream FileStream::OpenReadWriteShared(const std::string& path) {
  return FileStream(Stored(OpenExisting(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE)),
                    path);
}

FileStream FileStream::OpenReadSharedRead(const std::string& path) {
  return FileStream(Stored(OpenExisting(path, GENERIC_READ, FILE_SHARE_READ)), path);
}

// Nothing already there is ever replaced or followed.
std::optional<FileStream> FileStream::CreateNew(const std::string& path) {
  const std::wstring wide = WidePathOrThrow(path);
  const HANDLE handle =
      ::CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle != INVALID_HANDLE_VALUE) return FileStream(Stored(handle), path);
  const DWORD code = ::GetLastError();
  if (IsNameTaken(code)) return std::nullopt;
  throw PlatformError(OpenErrorText(path, static_cast<int>(code)));
}

std::size_t FileStream::Read(void* buffer, std::size_t count) {
  auto* bytes = static_cast<char*>(buffer);
  std::size_t done = 0;
  while (done < count) {
    DWORD got = 0;
    const auto ask = static_cast<DWORD>(std::min(count - done, kMaxChunk));
    if (!::ReadFile(Native(handle_), bytes + done, ask, &got, nullptr)) ThrowLastError();
    if (got == 0) break;
    done += got;
  }
  return done;
}

std::size_t FileStream::Write(const void* buffer, std::size_t count) {
  const auto* bytes = static_cast<const char*>(buffer);
  std::size_t done = 0;
  while (done < count) {
    DWORD put = 0;
    const auto ask = static_cast<DWORD>(std::min(count - done, kMaxChunk));
    if (!::WriteFile(Native(handle_), bytes + done, ask, &put, nullptr)) ThrowLastError();
    if (put == 0) break;
    done += put;
  }
  return done;
}

void FileStream::Seek(std::int64_t offset) {
  LARGE_INTEGER distance{};
  distance.QuadPart = offset;
  if (!::SetFilePointerEx(Native(handle_), distance, nullptr, FILE_BEGIN)) ThrowLastError();
}

std::int64_t FileStream::Size() {
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(Native(handle_), &size)) ThrowLastError();
  return size.QuadPart;
}

void FileStream::SetEnd(std::int64_t length) {
  Seek(length);
  if (!::SetEndOfFile(Native(handle_))) ThrowLastError();
}

void FileStream::Flush() {
  if (!::FlushFileBuffers(Native(handle_))) ThrowLastError();
}

void FileStream::Close() {
  const HANDLE handle = Native(std::exchange(handle_, kNoHandle));
  if (handle != INVALID_HANDLE_VALUE && !::CloseHandle(handle)) ThrowLastError();
}

bool FileExists(const std::string& path) {
  const auto wide = WideFromUtf8(path);
  if (!wide) return false;
  const DWORD attributes = ::GetFileAttributesW(wide->c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool RemoveFile(const std::string& path) {
  const auto wide = WideFromUtf8(path);
  return wide && ::DeleteFileW(wide->c_str()) != 0;
}

}  // namespace tailmend

#include <windows.h>

#include <algorithm>
#include <utility>

#include "platform/fault_injection.h"
#include "platform/file_stream.h"
#include "platform/platform_error.h"
#include "platform/system_error_text.h"
#include "platform/wide_text_win32.h"

namespace tailmend {

namespace {

// ReadFile and WriteFile take a 32-bit count; larger transfers go in pieces.
constexpr std::size_t kMaxChunk = 1u << 30;

// What an injected failure reports, as a failing disk would.
constexpr DWORD kInjectedError = ERROR_IO_DEVICE;

HANDLE Native(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }
std::intptr_t Stored(HANDLE handle) { return reinterpret_cast<std::intptr_t>(handle); }

// Asked before every call to the system, so that a test can make any one of them fail the way the
// system fails it: the call reports failure and GetLastError gives the code.
bool InjectedFailure(FileOperation operation) {
  if (!fault_injection::ShouldFail(operation)) return false;
  ::SetLastError(kInjectedError);
  return true;
}

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
      InjectedFailure(FileOperation::Open)
          ? INVALID_HANDLE_VALUE
          : ::CreateFileW(wide.c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD code = ::GetLastError();
    throw PlatformError(OpenErrorText(path, static_cast<int>(code)));
  }
  RequireDiskFile(handle, path);
  return handle;
}

// CREATE_NEW fails this way on any name already there: a file, a folder or a link.
bool IsNameTaken(DWORD code) { return code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS; }

bool NameExists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

int fault_injection::InjectedErrorCode() { return static_cast<int>(kInjectedError); }

void FileStream::Release(Handle handle) noexcept { ::CloseHandle(Native(handle)); }

// Others may read and write the file meanwhile, but not delete or rename it.
FileStream FileStream::OpenReadWriteShared(const std::string& path) {
  return FileStream(Stored(OpenExisting(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE)));
}

FileStream FileStream::OpenReadSharedRead(const std::string& path) {
  return FileStream(Stored(OpenExisting(path, GENERIC_READ, FILE_SHARE_READ)));
}

// Nothing already there is ever replaced or followed.
std::optional<FileStream> FileStream::CreateNew(const std::string& path) {
  const std::wstring wide = WidePathOrThrow(path);
  const HANDLE handle = InjectedFailure(FileOperation::Open)
                           ? INVALID_HANDLE_VALUE
                           : ::CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle != INVALID_HANDLE_VALUE) return FileStream(Stored(handle));
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
    if (InjectedFailure(FileOperation::Read) || !::ReadFile(Native(handle_), bytes + done, ask, &got, nullptr)) {
      ThrowLastError();
    }
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
    if (InjectedFailure(FileOperation::Write) || !::WriteFile(Native(handle_), bytes + done, ask, &put, nullptr)) {
      ThrowLastError();
    }
    if (put == 0) break;
    done += put;
  }
  return done;
}

void FileStream::Seek(std::int64_t offset) {
  LARGE_INTEGER distance{};
  distance.QuadPart = offset;
  if (InjectedFailure(FileOperation::Seek) || !::SetFilePointerEx(Native(handle_), distance, nullptr, FILE_BEGIN)) {
    ThrowLastError();
  }
}

std::int64_t FileStream::Size() {
  LARGE_INTEGER size{};
  if (InjectedFailure(FileOperation::Size) || !::GetFileSizeEx(Native(handle_), &size)) ThrowLastError();
  return size.QuadPart;
}

void FileStream::SetEnd(std::int64_t length) {
  Seek(length);
  if (InjectedFailure(FileOperation::SetEnd) || !::SetEndOfFile(Native(handle_))) ThrowLastError();
}

// Windows has no cheap read-ahead for a range of a file opened for ordinary reads: its cache reads
// ahead only what it sees read in order, and reading ahead on one's own needs a handle opened for
// overlapped reads throughout. The hint does nothing.
bool FileStream::WillRead(std::int64_t, std::int64_t) { return false; }

// Windows has no system copy between two open handles (CopyFile works on names, and would not
// read through the run's own handle): the caller copies block by block.
std::optional<std::int64_t> FileStream::CopyInSystem(FileStream&, std::int64_t) { return std::nullopt; }

// Windows keeps no permission bits; access comes from the folder. The times are the photo's.
void FileStream::CopyAttributesTo(FileStream& copy) {
  FILETIME created{};
  FILETIME accessed{};
  FILETIME written{};
  if (InjectedFailure(FileOperation::Attributes) || !::GetFileTime(Native(handle_), &created, &accessed, &written) ||
      !::SetFileTime(Native(copy.handle_), &created, &accessed, &written)) {
    ThrowLastError();
  }
}

void FileStream::Flush() {
  if (InjectedFailure(FileOperation::Flush) || !::FlushFileBuffers(Native(handle_))) ThrowLastError();
}

void FileStream::Close() {
  const HANDLE handle = Native(std::exchange(handle_, kNoHandle));
  if (handle == INVALID_HANDLE_VALUE) return;
  const bool injected = InjectedFailure(FileOperation::Close);
  if (!::CloseHandle(handle) || injected) ThrowLastError();
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

// Without MOVEFILE_REPLACE_EXISTING the move refuses any name already there; write-through makes
// the new name durable before the call returns.
bool RenameNoReplace(const std::string& from, const std::string& to) {
  const std::wstring wideFrom = WidePathOrThrow(from);
  const std::wstring wideTo = WidePathOrThrow(to);
  if (!InjectedFailure(FileOperation::Name) &&
      ::MoveFileExW(wideFrom.c_str(), wideTo.c_str(), MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  const DWORD code = ::GetLastError();
  // A folder under the name answers "access denied" rather than "exists".
  if (IsNameTaken(code) || NameExists(wideTo)) return false;
  throw PlatformError(SystemErrorText(static_cast<int>(code)));
}

// The write-through move has already made the name durable.
void FlushFolderOf(const std::string&) {}

}  // namespace tailmend

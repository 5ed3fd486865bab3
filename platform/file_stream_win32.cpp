#include <windows.h>
#include <aclapi.h>

#include <algorithm>
#include <utility>

#include "platform/extended_path_win32.h"
#include "platform/file_identity_win32.h"
#include "platform/file_stream.h"
#include "platform/platform_error.h"
#include "platform/system_calls_win32.h"
#include "platform/system_error_text.h"

namespace tailmend {

namespace {

// ReadFile and WriteFile take a 32-bit count; larger transfers go in pieces.
constexpr std::size_t kMaxChunk = 1u << 30;

HANDLE Native(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }
std::intptr_t Stored(HANDLE handle) { return reinterpret_cast<std::intptr_t>(handle); }

// Call right after the failing function, before anything else can overwrite the code.
[[noreturn]] void ThrowLastError() {
  const DWORD code = ::GetLastError();
  throw SystemError(static_cast<int>(code));
}

// Moves count bytes by ReadFile or WriteFile calls of at most kMaxChunk bytes each, and returns
// how many moved: fewer only where a call moves nothing. A test may make a call fail, or, with the
// code 0, move nothing.
template <typename Call>
std::size_t InChunks(FileOperation operation, std::size_t count, Call call) {
  std::size_t done = 0;
  while (done < count) {
    DWORD moved = 0;
    const auto ask = static_cast<DWORD>(std::min(count - done, kMaxChunk));
    const auto injected = fault_injection::InjectedError(operation);
    if (injected && *injected != 0) ::SetLastError(static_cast<DWORD>(*injected));
    if (injected ? *injected != 0 : !call(done, ask, moved)) ThrowLastError();
    if (moved == 0) break;
    done += moved;
  }
  return done;
}

std::wstring SystemPathOrThrow(const std::string& path) {
  auto wide = ExtendedPathFromUtf8(path);
  if (!wide) throw OpenError(path, ERROR_NO_UNICODE_TRANSLATION);
  return std::move(*wide);
}

// Consoles, pipes and other devices open like files but cannot be repaired. A file met in a folder
// walk must still be the one the walk listed: a link or another file put under its name since
// leads to a file with another identity.
void RequireListedDiskFile(HANDLE handle, const std::string& path, const std::optional<FileIdentity>& listedAs) {
  if (::GetFileType(handle) != FILE_TYPE_DISK) throw OpenError(path, kNotARegularFileReason);
  if (!listedAs) return;
  BY_HANDLE_FILE_INFORMATION info{};
  if (InjectedFailure(FileOperation::Size) || !::GetFileInformationByHandle(handle, &info)) {
    throw OpenError(path, static_cast<int>(::GetLastError()));
  }
  if (IdentityOf(info) != *listedAs) throw OpenError(path, kNotTheListedFileReason);
}

HANDLE OpenExisting(const std::string& path, DWORD access, DWORD share, const std::optional<FileIdentity>& listedAs) {
  const std::wstring wide = SystemPathOrThrow(path);
  const HANDLE handle =
      InjectedFailure(FileOperation::Open)
          ? INVALID_HANDLE_VALUE
          : ::CreateFileW(wide.c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD code = ::GetLastError();
    throw OpenError(path, static_cast<int>(code));
  }
  try {
    RequireListedDiskFile(handle, path, listedAs);
  } catch (...) {
    ::CloseHandle(handle);
    throw;
  }
  return handle;
}

// The process may not read or change this file's access rules, or the file system keeps none.
bool IsAccessControlUnkept(DWORD code) {
  return code == ERROR_ACCESS_DENIED || code == ERROR_PRIVILEGE_NOT_HELD || code == ERROR_NOT_SUPPORTED ||
         code == ERROR_INVALID_FUNCTION;
}

// The photo's access-control list, protected from what the folder would pass on to a new file, so
// that the copy is never open to more people than the photo.
void CopyAccessControl(HANDLE source, HANDLE copy) {
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  const DWORD got = InjectedFailure(FileOperation::Attributes)
                        ? ::GetLastError()
                        : ::GetSecurityInfo(source, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                            &dacl, nullptr, &descriptor);
  if (got != ERROR_SUCCESS) {
    if (IsAccessControlUnkept(got)) return;
    throw SystemError(static_cast<int>(got));
  }
  const DWORD set = ::SetSecurityInfo(copy, SE_FILE_OBJECT,
                                      DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr,
                                      nullptr, dacl, nullptr);
  ::LocalFree(descriptor);
  if (set != ERROR_SUCCESS && !IsAccessControlUnkept(set)) throw SystemError(static_cast<int>(set));
}

}  // namespace

void FileStream::Release(Handle handle) noexcept { ::CloseHandle(Native(handle)); }

// Others may read and write the file meanwhile, but not delete or rename it.
FileStream FileStream::OpenReadWriteShared(const std::string& path, const std::optional<FileIdentity>& listedAs) {
  return FileStream(
      Stored(OpenExisting(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, listedAs)));
}

FileStream FileStream::OpenReadSharedRead(const std::string& path, const std::optional<FileIdentity>& listedAs) {
  return FileStream(Stored(OpenExisting(path, GENERIC_READ, FILE_SHARE_READ, listedAs)));
}

std::size_t FileStream::Read(void* buffer, std::size_t count) {
  auto* bytes = static_cast<char*>(buffer);
  return InChunks(FileOperation::Read, count, [&](std::size_t done, DWORD ask, DWORD& moved) {
    return ::ReadFile(Native(handle_), bytes + done, ask, &moved, nullptr);
  });
}

std::size_t FileStream::Write(const void* buffer, std::size_t count) {
  const auto* bytes = static_cast<const char*>(buffer);
  return InChunks(FileOperation::Write, count, [&](std::size_t done, DWORD ask, DWORD& moved) {
    return ::WriteFile(Native(handle_), bytes + done, ask, &moved, nullptr);
  });
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

FileStamp FileStream::Stamp() {
  BY_HANDLE_FILE_INFORMATION info{};
  if (InjectedFailure(FileOperation::Size) || !::GetFileInformationByHandle(Native(handle_), &info)) ThrowLastError();
  const auto join = [](DWORD upper, DWORD lower) { return static_cast<std::int64_t>((std::uint64_t{upper} << 32) | lower); };
  return {join(info.nFileSizeHigh, info.nFileSizeLow),
          join(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime)};
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

// Windows keeps no permission bits: access comes from the access-control list, which is the
// photo's. The times are the photo's too.
void FileStream::CopyAttributesTo(FileStream& copy) {
  CopyAccessControl(Native(handle_), Native(copy.handle_));
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
  const auto wide = ExtendedPathFromUtf8(path);
  if (!wide) return false;
  const DWORD attributes = ::GetFileAttributesW(wide->c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace tailmend

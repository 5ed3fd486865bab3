#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <libgen.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/file_stream.h"
#include "platform/platform_error.h"
#include "platform/system_error_text.h"

namespace tailmend {

namespace {

// A single read or write of more than this is split, as Linux caps one call at about 2 GiB.
constexpr std::size_t kMaxChunk = 1u << 30;

int Descriptor(std::intptr_t handle) { return static_cast<int>(handle); }

// Folders, devices and pipes are not photos: cutting or copying them makes no sense.
int NotARegularFile(int fd) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return errno;
  if (S_ISREG(info.st_mode)) return 0;
  return S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
}

int OpenExisting(const std::string& path, int flags) {
  const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
  if (fd < 0) throw PlatformError(OpenErrorText(path, errno));
  if (const int code = NotARegularFile(fd); code != 0) {
    ::close(fd);
    throw PlatformError(OpenErrorText(path, code));
  }
  return fd;
}

std::string DirectoryOf(const std::string& path) {
  std::vector<char> copy(path.begin(), path.end());
  copy.push_back('\0');
  return ::dirname(copy.data());
}

// Makes the new name itself durable, not only the data behind it.
void FlushDirectoryOf(const std::string& path) {
  const int dir = ::open(DirectoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0) return;  // a folder we may not read cannot be flushed; the data itself is
  const int result = ::fsync(dir);
  const int code = errno;
  ::close(dir);
  if (result != 0 && code != EINVAL) throw PlatformError(SystemErrorText(code));
}

}  // namespace

void FileStream::Release(Handle handle) noexcept { ::close(Descriptor(handle)); }

// POSIX has no share modes: other programs may always open the file, which is what the repair
// allows anyway. Reading-only opens cannot keep writers out here.
FileStream FileStream::OpenReadWriteShared(const std::string& path) {
  return FileStream(OpenExisting(path, O_RDWR), path);
}

FileStream FileStream::OpenReadSharedRead(const std::string& path) {
  return FileStream(OpenExisting(path, O_RDONLY), path);
}

std::optional<FileStream> FileStream::CreateNew(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd >= 0) return FileStream(fd, path);
  if (errno == EEXIST) return std::nullopt;
  throw PlatformError(OpenErrorText(path, errno));
}

std::size_t FileStream::Read(void* buffer, std::size_t count) {
  auto* bytes = static_cast<char*>(buffer);
  std::size_t done = 0;
  while (done < count) {
    const ssize_t got = ::read(Descriptor(handle_), bytes + done, std::min(count - done, kMaxChunk));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) throw PlatformError(SystemErrorText(errno));
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

std::size_t FileStream::Write(const void* buffer, std::size_t count) {
  const auto* bytes = static_cast<const char*>(buffer);
  std::size_t done = 0;
  while (done < count) {
    const ssize_t put = ::write(Descriptor(handle_), bytes + done, std::min(count - done, kMaxChunk));
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) throw PlatformError(SystemErrorText(errno));
    if (put == 0) break;
    done += static_cast<std::size_t>(put);
  }
  return done;
}

void FileStream::Seek(std::int64_t offset) {
  if (::lseek(Descriptor(handle_), static_cast<off_t>(offset), SEEK_SET) < 0) {
    throw PlatformError(SystemErrorText(errno));
  }
}

std::int64_t FileStream::Size() {
  struct stat info {};
  if (::fstat(Descriptor(handle_), &info) != 0) throw PlatformError(SystemErrorText(errno));
  return static_cast<std::int64_t>(info.st_size);
}

void FileStream::SetEnd(std::int64_t length) {
  Seek(length);
  if (::ftruncate(Descriptor(handle_), static_cast<off_t>(length)) != 0) {
    throw PlatformError(SystemErrorText(errno));
  }
}

void FileStream::Flush() {
  if (::fsync(Descriptor(handle_)) != 0) throw PlatformError(SystemErrorText(errno));
  FlushDirectoryOf(path_);
}

void FileStream::Close() {
  const int fd = Descriptor(std::exchange(handle_, kNoHandle));
  if (fd >= 0 && ::close(fd) != 0) throw PlatformError(SystemErrorText(errno));
}

bool FileExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool RemoveFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

}  // namespace tailmend

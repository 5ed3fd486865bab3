#include <cerrno>
#include <fcntl.h>
#include <sys/acl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <utility>

#include "platform/file_stream.h"
#include "platform/platform_error.h"
#include "platform/system_calls_posix.h"
#include "platform/system_error_text.h"

namespace tailmend {

namespace {

// A single read or write of more than this is split, as Linux caps one call at about 2 GiB.
constexpr std::size_t kMaxChunk = 1u << 30;

int Descriptor(std::intptr_t handle) { return static_cast<int>(handle); }

// Folders, devices and pipes are not photos: cutting or copying them makes no sense. A file met in
// a folder walk must still be the one the walk listed: a name swapped for another file, or a
// folder above it swapped for a link, after the listing leads elsewhere.
void RequireRegularFile(int fd, const std::string& path, const std::optional<FileIdentity>& listedAs) {
  struct stat info {};
  if (System(FileOperation::Size, [&] { return ::fstat(fd, &info); }) != 0) throw OpenError(path, errno);
  if (S_ISDIR(info.st_mode)) throw OpenError(path, EISDIR);
  if (!S_ISREG(info.st_mode)) throw OpenError(path, kNotARegularFileReason);
  if (listedAs && *listedAs != FileIdentity{info.st_dev, info.st_ino}) throw OpenError(path, kNotTheListedFileReason);
}

// Opened without blocking, so that a pipe does not wait for a writer before it is refused; a
// regular file then reads and writes as usual.
void ClearNonBlocking(int fd, const std::string& path) {
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) throw OpenError(path, errno);
}

int OpenExisting(const std::string& path, int flags, const std::optional<FileIdentity>& listedAs) {
  const int extra = O_NONBLOCK | O_CLOEXEC | (listedAs ? O_NOFOLLOW : 0);
  const int fd = System(FileOperation::Open, [&] { return ::open(path.c_str(), flags | extra); });
  // O_NOFOLLOW refuses a link that took the listed file's place.
  if (fd < 0 && listedAs && errno == ELOOP) throw OpenError(path, kNotTheListedFileReason);
  if (fd < 0) throw OpenError(path, errno);
  try {
    RequireRegularFile(fd, path, listedAs);
    ClearNonBlocking(fd, path);
  } catch (...) {
    ::close(fd);
    throw;
  }
  return fd;
}

// Moves count bytes by as many calls as it takes, each of at most kMaxChunk bytes, and returns how
// many moved: fewer only where a call moves nothing (the end of a file).
template <typename Call>
std::size_t InChunks(FileOperation operation, std::size_t count, Call call) {
  std::size_t done = 0;
  while (done < count) {
    const ssize_t moved = System(operation, [&] { return call(done, std::min(count - done, kMaxChunk)); });
    if (moved < 0 && errno == EINTR) continue;
    if (moved < 0) ThrowErrno();
    if (moved == 0) break;
    done += static_cast<std::size_t>(moved);
  }
  return done;
}

// The photo's access ACL, which for a photo without one is just its permission bits: an ACL that
// the folder's default ACL gave the new copy goes, since it could grant what the photo does not.
void GiveAccessAcl(int source, int copy) {
  acl_t acl = nullptr;
  if (System(FileOperation::Attributes, [&] { return (acl = ::acl_get_fd(source)) ? 0 : -1; }) != 0) {
    if (IsUnkept(errno)) return;
    ThrowErrno();
  }
  const int result = System(FileOperation::Attributes, [&] { return ::acl_set_fd(copy, acl); });
  const int code = errno;
  ::acl_free(acl);
  if (result != 0 && !IsUnkept(code)) throw SystemError(code);
}

}  // namespace

int fault_injection::InjectedErrorCode() { return EIO; }

void FileStream::Release(Handle handle) noexcept { ::close(Descriptor(handle)); }

// POSIX has no share modes: other programs may always open the file, which is what the repair
// allows anyway. Reading-only opens cannot keep writers out here.
FileStream FileStream::OpenReadWriteShared(const std::string& path, const std::optional<FileIdentity>& listedAs) {
  return FileStream(OpenExisting(path, O_RDWR, listedAs));
}

FileStream FileStream::OpenReadSharedRead(const std::string& path, const std::optional<FileIdentity>& listedAs) {
  return FileStream(OpenExisting(path, O_RDONLY, listedAs));
}

std::size_t FileStream::Read(void* buffer, std::size_t count) {
  auto* bytes = static_cast<char*>(buffer);
  return InChunks(FileOperation::Read, count, [&](std::size_t done, std::size_t ask) {
    return ::read(Descriptor(handle_), bytes + done, ask);
  });
}

std::size_t FileStream::Write(const void* buffer, std::size_t count) {
  const auto* bytes = static_cast<const char*>(buffer);
  return InChunks(FileOperation::Write, count, [&](std::size_t done, std::size_t ask) {
    return ::write(Descriptor(handle_), bytes + done, ask);
  });
}

void FileStream::Seek(std::int64_t offset) {
  if (System(FileOperation::Seek, [&] { return ::lseek(Descriptor(handle_), static_cast<off_t>(offset), SEEK_SET); }) <
      0) {
    ThrowErrno();
  }
}

std::int64_t FileStream::Size() {
  struct stat info {};
  if (System(FileOperation::Size, [&] { return ::fstat(Descriptor(handle_), &info); }) != 0) ThrowErrno();
  return static_cast<std::int64_t>(info.st_size);
}

FileStamp FileStream::Stamp() {
  struct stat info {};
  if (System(FileOperation::Size, [&] { return ::fstat(Descriptor(handle_), &info); }) != 0) ThrowErrno();
  constexpr std::int64_t kNanoseconds = 1000000000;
  return {static_cast<std::int64_t>(info.st_size),
          static_cast<std::int64_t>(info.st_mtim.tv_sec) * kNanoseconds + info.st_mtim.tv_nsec};
}

void FileStream::SetEnd(std::int64_t length) {
  Seek(length);
  if (System(FileOperation::SetEnd, [&] { return ::ftruncate(Descriptor(handle_), static_cast<off_t>(length)); }) !=
      0) {
    ThrowErrno();
  }
}

// The kernel starts reading the pages in and returns. It looks at every page of the range, which
// costs far more than one read that refuses to wait for the disk (RWF_NOWAIT): that read tells
// whether the range's first page is in memory already. A hint the system refuses changes nothing,
// so neither call is one that fault injection fails.
bool FileStream::WillRead(std::int64_t offset, std::int64_t count) {
  const int fd = Descriptor(handle_);
  char byte = 0;
  struct iovec probe = {&byte, 1};
  if (::preadv2(fd, &probe, 1, static_cast<off_t>(offset), RWF_NOWAIT) == 1) return true;
  return ::posix_fadvise(fd, static_cast<off_t>(offset), static_cast<off_t>(count), POSIX_FADV_WILLNEED) == 0;
}

// copy_file_range with explicit offsets leaves both file positions where they were.
std::optional<std::int64_t> FileStream::CopyInSystem(FileStream& target, std::int64_t atMost) {
  loff_t from = 0;
  loff_t to = 0;
  while (from < atMost) {
    const auto ask = static_cast<std::size_t>(std::min<std::int64_t>(atMost - from, kMaxChunk));
    const ssize_t copied = System(FileOperation::Copy, [&] {
      return ::copy_file_range(Descriptor(handle_), &from, Descriptor(target.handle_), &to, ask, 0);
    });
    if (copied < 0 && errno == EINTR) continue;
    if (copied < 0 && from == 0 && IsUnsupported(errno)) return std::nullopt;
    if (copied < 0) ThrowErrno();
    if (copied == 0) break;
  }
  return static_cast<std::int64_t>(from);
}

void FileStream::CopyAttributesTo(FileStream& copy) {
  struct stat info {};
  if (System(FileOperation::Size, [&] { return ::fstat(Descriptor(handle_), &info); }) != 0) ThrowErrno();
  const int fd = Descriptor(copy.handle_);
  const bool groupGiven = GiveOwnership(info, fd);
  GiveAccessAcl(Descriptor(handle_), fd);
  const mode_t bits = info.st_mode & (groupGiven ? kPermissionBits : kOwnerBits);
  if (System(FileOperation::Attributes, [&] { return ::fchmod(fd, bits); }) != 0 && !IsUnkept(errno)) {
    ThrowErrno();
  }
  const struct timespec times[2] = {info.st_atim, info.st_mtim};
  if (System(FileOperation::Attributes, [&] { return ::futimens(fd, times); }) != 0 && !IsUnkept(errno)) {
    ThrowErrno();
  }
}

void FileStream::Flush() {
  if (System(FileOperation::Flush, [&] { return ::fsync(Descriptor(handle_)); }) != 0) ThrowErrno();
}

// Linux releases the descriptor even when close reports an error.
void FileStream::Close() {
  const int fd = Descriptor(std::exchange(handle_, kNoHandle));
  if (fd < 0) return;
  const auto injected = fault_injection::InjectedError(FileOperation::Close);
  if (::close(fd) != 0) ThrowErrno();
  if (injected) throw SystemError(*injected);
}

bool FileExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace tailmend

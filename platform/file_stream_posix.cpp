#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <libgen.h>
#include <sys/acl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/fault_injection.h"
#include "platform/file_stream.h"
#include "platform/platform_error.h"
#include "platform/system_error_text.h"

namespace tailmend {

namespace {

// A single read or write of more than this is split, as Linux caps one call at about 2 GiB.
constexpr std::size_t kMaxChunk = 1u << 30;
// Only the owner may read a copy until it has the permission bits of its original.
constexpr mode_t kPrivateMode = 0600;
constexpr mode_t kPermissionBits = 0777;
constexpr mode_t kOwnerBits = 0700;

int Descriptor(std::intptr_t handle) { return static_cast<int>(handle); }

bool IsTransfer(FileOperation operation) {
  return operation == FileOperation::Read || operation == FileOperation::Write || operation == FileOperation::Copy;
}

// Every call to the system goes through here, so that a test can make any one of them fail the
// way the system fails it: -1 and an error code in errno, or, for a read or a write, no bytes.
template <typename Call>
auto System(FileOperation operation, Call call) -> decltype(call()) {
  if (const auto code = fault_injection::InjectedError(operation)) {
    if (*code == 0 && IsTransfer(operation)) return 0;
    errno = *code == 0 ? EIO : *code;
    return -1;
  }
  return call();
}

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

// Exclusive: never replaces or follows anything already under that name.
int CreateExclusive(const std::string& path) {
  return System(FileOperation::Open, [&] {
    return ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, kPrivateMode);
  });
}

std::string DirectoryOf(const std::string& path) {
  std::vector<char> copy(path.begin(), path.end());
  copy.push_back('\0');
  return ::dirname(copy.data());
}

[[noreturn]] void ThrowErrno() { throw SystemError(errno); }

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

// Errors by which a file system says it has no such operation at all, rather than refusing it for
// these files: FAT refuses hard links with EPERM, and FUSE file systems refuse flags they do not
// know with EINVAL. (On Linux, ENOTSUP is EOPNOTSUPP.)
bool IsUnsupported(int code) {
  return code == EPERM || code == EINVAL || code == ENOSYS || code == EOPNOTSUPP || code == EXDEV;
}

// Owners, ACLs, permission bits and times are extras: a file system without them, or a system that
// does not let this process give them, does not fail the copy.
bool IsUnkept(int code) { return code == EPERM || code == ENOSYS || code == EOPNOTSUPP; }

enum class Naming { Given, Taken, Unsupported };

Naming Classify(int result, int code) {
  if (result == 0) return Naming::Given;
  if (code == EEXIST) return Naming::Taken;
  if (IsUnsupported(code)) return Naming::Unsupported;
  throw SystemError(code);
}

// A second name for the file, then the first one goes: the new name never shows a partial file.
Naming LinkThenUnlink(const std::string& from, const std::string& to) {
  const int linked = System(FileOperation::Name, [&] { return ::link(from.c_str(), to.c_str()); });
  const Naming naming = Classify(linked, errno);
  if (naming == Naming::Given && System(FileOperation::Name, [&] { return ::unlink(from.c_str()); }) != 0) {
    ThrowErrno();
  }
  return naming;
}

Naming RenameRefusingToReplace(const std::string& from, const std::string& to) {
  const int renamed = System(FileOperation::Name, [&] {
    return ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
  });
  return Classify(renamed, errno);
}

// The last resort, where the file system has neither hard links nor a rename that refuses to
// replace (FAT through FUSE): the name is taken with an exclusive create, and the file is renamed
// onto that empty file of our own. A kill between the two leaves the empty file under the name.
Naming ReserveThenRename(const std::string& from, const std::string& to) {
  const int reserved = CreateExclusive(to);
  if (reserved < 0 && errno == EEXIST) return Naming::Taken;
  if (reserved < 0) ThrowErrno();
  ::close(reserved);
  if (System(FileOperation::Name, [&] { return ::rename(from.c_str(), to.c_str()); }) != 0) {
    const int code = errno;
    ::unlink(to.c_str());
    throw SystemError(code);
  }
  return Naming::Given;
}

// The photo's group, and its owner where the system lets us (root may): true when the copy has
// the photo's group, so that its group bits give nobody more than the photo's do.
bool GiveOwnership(const struct stat& source, int copy) {
  if (System(FileOperation::Attributes, [&] { return ::fchown(copy, source.st_uid, source.st_gid); }) == 0) {
    return true;
  }
  if (!IsUnkept(errno)) ThrowErrno();
  const uid_t keepOwner = static_cast<uid_t>(-1);
  if (System(FileOperation::Attributes, [&] { return ::fchown(copy, keepOwner, source.st_gid); }) == 0) return true;
  if (!IsUnkept(errno)) ThrowErrno();
  return false;
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

std::optional<FileStream> FileStream::CreateNew(const std::string& path) {
  const int fd = CreateExclusive(path);
  if (fd >= 0) return FileStream(fd);
  if (errno == EEXIST) return std::nullopt;
  throw OpenError(path, errno);
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
void FileStream::WillRead(std::int64_t offset, std::int64_t count) {
  const int fd = Descriptor(handle_);
  char byte = 0;
  struct iovec probe = {&byte, 1};
  if (::preadv2(fd, &probe, 1, static_cast<off_t>(offset), RWF_NOWAIT) == 1) return;
  ::posix_fadvise(fd, static_cast<off_t>(offset), static_cast<off_t>(count), POSIX_FADV_WILLNEED);
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

bool RemoveFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

bool RenameNoReplace(const std::string& from, const std::string& to) {
  for (auto method : {LinkThenUnlink, RenameRefusingToReplace}) {
    const Naming naming = method(from, to);
    if (naming != Naming::Unsupported) return naming == Naming::Given;
  }
  return ReserveThenRename(from, to) == Naming::Given;
}

void FlushFolderOf(const std::string& path) {
  const int dir = System(FileOperation::Open, [&] {
    return ::open(DirectoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  });
  // A folder we may not read cannot be flushed; the data in it already is.
  if (dir < 0 && errno == EACCES) return;
  if (dir < 0) ThrowErrno();
  const int result = System(FileOperation::Flush, [&] { return ::fsync(dir); });
  const int code = errno;
  ::close(dir);
  // Some file systems cannot flush a folder at all (EINVAL); their names are as durable as they get.
  if (result != 0 && code != EINVAL) throw SystemError(code);
}

}  // namespace tailmend

#pragma once

#include <sys/stat.h>

#include <cerrno>

#include "platform/fault_injection.h"

namespace tailmend {

// What the POSIX file layer's files share: the one way to a call of the system, how they tell its
// errors apart, and how they give a copy no more than its original's access.

inline constexpr mode_t kPermissionBits = 0777;
inline constexpr mode_t kOwnerBits = 0700;

inline bool IsTransfer(FileOperation operation) {
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

// Raises the error of errno as it stands.
[[noreturn]] void ThrowErrno();

// Errors by which a file system says it has no such operation at all, rather than refusing it for
// these files: FAT refuses hard links with EPERM, and FUSE file systems refuse flags they do not
// know with EINVAL. (On Linux, ENOTSUP is EOPNOTSUPP.)
bool IsUnsupported(int code);

// Owners, ACLs, permission bits and times are extras: a file system without them, or a system that
// does not let this process give them, does not fail the copy.
bool IsUnkept(int code);

// Gives the open file or folder fd the group of original, and its owner where the system lets us
// (root may): true when it has that group, so that its group bits give nobody more than the
// original's do.
bool GiveOwnership(const struct stat& original, int fd);

}  // namespace tailmend

#include "platform/system_calls_posix.h"

#include <unistd.h>

#include "platform/system_error_text.h"

namespace tailmend {

void ThrowErrno() { throw SystemError(errno); }

bool IsUnsupported(int code) {
  return code == EPERM || code == EINVAL || code == ENOSYS || code == EOPNOTSUPP || code == EXDEV;
}

bool IsUnkept(int code) { return code == EPERM || code == ENOSYS || code == EOPNOTSUPP; }

bool GiveOwnership(const struct stat& original, int fd) {
  if (System(FileOperation::Attributes, [&] { return ::fchown(fd, original.st_uid, original.st_gid); }) == 0) {
    return true;
  }
  if (!IsUnkept(errno)) ThrowErrno();
  const uid_t keepOwner = static_cast<uid_t>(-1);
  if (System(FileOperation::Attributes, [&] { return ::fchown(fd, keepOwner, original.st_gid); }) == 0) return true;
  if (!IsUnkept(errno)) ThrowErrno();
  return false;
}

}  // namespace tailmend

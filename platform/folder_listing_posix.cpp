#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <memory>

#include "platform/folder_listing.h"
#include "platform/system_error_text.h"

namespace tailmend {

namespace {

struct FolderCloser {
  void operator()(DIR* folder) const { ::closedir(folder); }
};

// Looked at relative to the folder that was opened, so that what is examined is what was listed.
FolderEntry Examine(DIR* folder, const char* name) {
  struct stat own {};
  if (::fstatat(::dirfd(folder), name, &own, AT_SYMLINK_NOFOLLOW) != 0) {
    return {name, EntryKind::CannotExamine, {}, SystemMessage(errno)};
  }
  if (S_ISDIR(own.st_mode)) return {name, EntryKind::Folder};
  if (S_ISREG(own.st_mode)) return {name, EntryKind::File, FileIdentity{own.st_dev, own.st_ino}};
  if (!S_ISLNK(own.st_mode)) return {name, EntryKind::Other};
  struct stat target {};
  const bool toFolder = ::fstatat(::dirfd(folder), name, &target, 0) == 0 && S_ISDIR(target.st_mode);
  return {name, toFolder ? EntryKind::LinkToFolder : EntryKind::Link};
}

bool IsDotOrDotDot(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

}  // namespace

bool IsFolder(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::vector<FolderEntry> ListFolder(const std::string& path) {
  const std::unique_ptr<DIR, FolderCloser> folder(::opendir(path.c_str()));
  if (!folder) throw FolderError(path, errno);
  std::vector<FolderEntry> entries;
  for (;;) {
    errno = 0;
    const dirent* entry = ::readdir(folder.get());
    if (!entry) break;
    if (IsDotOrDotDot(entry->d_name)) continue;
    entries.push_back(Examine(folder.get(), entry->d_name));
  }
  if (errno != 0) throw FolderError(path, errno);
  return entries;
}

}  // namespace tailmend

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <memory>

#include "platform/folder_listing.h"
#include "platform/path_names.h"
#include "platform/platform_error.h"
#include "platform/system_error_text.h"

namespace tailmend {

namespace {

struct FolderCloser {
  void operator()(DIR* folder) const { ::closedir(folder); }
};

// A name that vanished or cannot be looked at is nothing the walk can use.
EntryKind KindOf(const std::string& path) {
  struct stat own {};
  if (::lstat(path.c_str(), &own) != 0) return EntryKind::Other;
  if (S_ISDIR(own.st_mode)) return EntryKind::Folder;
  if (S_ISREG(own.st_mode)) return EntryKind::File;
  struct stat target {};
  if (!S_ISLNK(own.st_mode) || ::stat(path.c_str(), &target) != 0) return EntryKind::Other;
  if (S_ISDIR(target.st_mode)) return EntryKind::LinkToFolder;
  return S_ISREG(target.st_mode) ? EntryKind::File : EntryKind::Other;
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
  if (!folder) throw PlatformError(FolderErrorText(path, errno));
  std::vector<FolderEntry> entries;
  for (;;) {
    errno = 0;
    const dirent* entry = ::readdir(folder.get());
    if (!entry) break;
    if (IsDotOrDotDot(entry->d_name)) continue;
    entries.push_back({entry->d_name, KindOf(PathInFolder(path, entry->d_name))});
  }
  if (errno != 0) throw PlatformError(FolderErrorText(path, errno));
  return entries;
}

}  // namespace tailmend

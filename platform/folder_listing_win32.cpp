#include <windows.h>

#include "platform/folder_listing.h"
#include "platform/path_names.h"
#include "platform/platform_error.h"
#include "platform/system_error_text.h"
#include "platform/wide_text_win32.h"

namespace tailmend {

namespace {

struct SearchCloser {
  HANDLE search;
  ~SearchCloser() { ::FindClose(search); }
};

// Junctions and symbolic links to folders carry both attributes; links to files are files.
EntryKind KindOf(DWORD attributes) {
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return EntryKind::File;
  return attributes & FILE_ATTRIBUTE_REPARSE_POINT ? EntryKind::LinkToFolder : EntryKind::Folder;
}

bool IsDotOrDotDot(const wchar_t* name) {
  return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

}  // namespace

bool IsFolder(const std::string& path) {
  const auto wide = WideFromUtf8(path);
  if (!wide) return false;
  const DWORD attributes = ::GetFileAttributesW(wide->c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<FolderEntry> ListFolder(const std::string& path) {
  const auto wide = WideFromUtf8(PathInFolder(path, "*"));
  if (!wide) throw PlatformError(FolderErrorText(path, ERROR_NO_UNICODE_TRANSLATION));
  WIN32_FIND_DATAW found{};
  const HANDLE search =
      ::FindFirstFileExW(wide->c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
  if (search == INVALID_HANDLE_VALUE) {
    const DWORD code = ::GetLastError();
    if (code == ERROR_FILE_NOT_FOUND) return {};  // a drive's root folder has no "." to find
    throw PlatformError(FolderErrorText(path, static_cast<int>(code)));
  }
  const SearchCloser closer{search};
  std::vector<FolderEntry> entries;
  do {
    if (IsDotOrDotDot(found.cFileName)) continue;
    entries.push_back({Utf8FromWide(found.cFileName), KindOf(found.dwFileAttributes)});
  } while (::FindNextFileW(search, &found));
  const DWORD code = ::GetLastError();
  if (code != ERROR_NO_MORE_FILES) throw PlatformError(FolderErrorText(path, static_cast<int>(code)));
  return entries;
}

}  // namespace tailmend

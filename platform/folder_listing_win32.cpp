#include <windows.h>

#include <cstddef>
#include <cstring>
#include <vector>

#include "platform/extended_path_win32.h"
#include "platform/file_identity_win32.h"
#include "platform/folder_listing_win32.h"
#include "platform/system_error_text.h"
#include "platform/wide_text_win32.h"

namespace tailmend {

namespace {

// Room for a few hundred names per call; the system fills it with as many as fit.
constexpr std::size_t kListingBufferBytes = 64 * 1024;

struct HandleCloser {
  HANDLE handle;
  ~HandleCloser() { ::CloseHandle(handle); }
};

// Reparse points that stand for another name (symbolic links, junctions) are links; others, such
// as a cloud file's placeholder, are the file itself. Folders that are reparse points of any kind
// are not walked into, as before.
EntryKind KindOf(DWORD attributes, DWORD reparseTag) {
  const bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  const bool reparse = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  if (folder) return reparse ? EntryKind::LinkToFolder : EntryKind::Folder;
  return reparse && IsReparseTagNameSurrogate(reparseTag) ? EntryKind::Link : EntryKind::File;
}

bool IsDotOrDotDot(const std::wstring& name) { return name == L"." || name == L".."; }

// The folder is read through one handle, its entries' numbers with them, so that a walk can later
// tell whether a name still stands for the file it listed.
HANDLE OpenFolder(const std::string& path) {
  const auto wide = ExtendedPathFromUtf8(path);
  if (!wide) throw FolderError(path, ERROR_NO_UNICODE_TRANSLATION);
  const HANDLE folder = ::CreateFileW(wide->c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (folder == INVALID_HANDLE_VALUE) throw FolderError(path, static_cast<int>(::GetLastError()));
  return folder;
}

}  // namespace

void AppendListedEntries(const unsigned char* records, DWORD volumeSerial, std::vector<FolderEntry>& entries) {
  for (std::size_t offset = 0;;) {
    FILE_ID_BOTH_DIR_INFO record;
    std::memcpy(&record, records + offset, offsetof(FILE_ID_BOTH_DIR_INFO, FileName));
    std::wstring name(record.FileNameLength / sizeof(wchar_t), L'\0');
    std::memcpy(name.data(), records + offset + offsetof(FILE_ID_BOTH_DIR_INFO, FileName), record.FileNameLength);
    if (!IsDotOrDotDot(name)) {
      // For a reparse point the system puts its tag where extended attributes' size would be.
      const EntryKind kind = KindOf(record.FileAttributes, record.EaSize);
      const auto index = static_cast<std::uint64_t>(record.FileId.QuadPart);
      entries.push_back({Utf8FromWide(name), kind, IdentityOf(volumeSerial, index)});
    }
    if (record.NextEntryOffset == 0) return;
    offset += record.NextEntryOffset;
  }
}

bool IsFolder(const std::string& path) {
  const auto wide = ExtendedPathFromUtf8(path);
  if (!wide) return false;
  const DWORD attributes = ::GetFileAttributesW(wide->c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<FolderEntry> ListFolder(const std::string& path) {
  const HandleCloser folder{OpenFolder(path)};
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(folder.handle, &info)) throw FolderError(path, static_cast<int>(::GetLastError()));
  std::vector<LONGLONG> buffer(kListingBufferBytes / sizeof(LONGLONG));  // aligned for the records
  std::vector<FolderEntry> entries;
  for (FILE_INFO_BY_HANDLE_CLASS next = FileIdBothDirectoryRestartInfo;; next = FileIdBothDirectoryInfo) {
    if (!::GetFileInformationByHandleEx(folder.handle, next, buffer.data(), kListingBufferBytes)) break;
    AppendListedEntries(reinterpret_cast<const unsigned char*>(buffer.data()), info.dwVolumeSerialNumber, entries);
  }
  const DWORD code = ::GetLastError();
  // An empty drive's root folder has not even "." to give.
  if (code != ERROR_NO_MORE_FILES && code != ERROR_FILE_NOT_FOUND) throw FolderError(path, static_cast<int>(code));
  return entries;
}

}  // namespace tailmend

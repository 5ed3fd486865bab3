#include "engine/folder_walk.h"

#include <algorithm>
#include <cctype>

#include "engine/backup_copier.h"
#include "platform/folder_listing.h"
#include "platform/path_names.h"
#include "platform/platform_error.h"

namespace tailmend {

namespace {

class FolderWalk {
public:
  explicit FolderWalk(FileArguments& found) : found_(found) {}

  // True when the folder and everything below it could be read. below is the folder's path below
  // the folder named, empty for that folder itself.
  bool Walk(const std::string& folder, const std::string& below = {}) {
    std::vector<FolderEntry> entries;
    try {
      entries = ListFolder(folder);
    } catch (const PlatformError& error) {
      Note(WalkNoteKind::CannotReadFolder, folder, error.Reason());
      return false;
    }
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    bool whole = true;
    for (const FolderEntry& entry : entries) {
      const std::string relative = below.empty() ? entry.name : PathInFolder(below, entry.name);
      whole = Visit(PathInFolder(folder, entry.name), relative, entry) && whole;
    }
    return whole;
  }

private:
  FileArguments& found_;

  bool Visit(const std::string& path, const std::string& relative, const FolderEntry& entry) {
    switch (entry.kind) {
      case EntryKind::Folder: return Walk(path, relative);
      case EntryKind::LinkToFolder: return Note(WalkNoteKind::LinkToFolder, path);
      case EntryKind::CannotExamine: return Note(WalkNoteKind::CannotExamine, path, entry.problem);
      default: break;
    }
    if (!IsCrwFileName(entry.name)) return true;
    if (entry.kind == EntryKind::Link) return Note(WalkNoteKind::Link, path);
    if (entry.kind != EntryKind::File) return Note(WalkNoteKind::NotARegularFile, path);
    if (IsBackupName(entry.name)) return Note(WalkNoteKind::BackupCopy, path);
    found_.files.emplace_back(path, entry.identity, relative);
    return true;
  }

  // Returns whether the walk still saw everything.
  bool Note(WalkNoteKind kind, const std::string& path, const std::string& reason = {}) {
    found_.notes.push_back({kind, path, reason});
    return !MayMissPhotos(kind);
  }
};

}  // namespace

bool IsCrwFileName(std::string_view name) {
  std::string lower(name.substr(name.size() < 4 ? 0 : name.size() - 4));
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  return lower == ".crw";
}

std::string_view WalkNoteText(WalkNoteKind kind) {
  switch (kind) {
    case WalkNoteKind::BackupCopy: return "skipped: a backup copy";
    case WalkNoteKind::LinkToFolder: return "skipped: a symbolic link to a folder";
    case WalkNoteKind::Link: return "skipped: a symbolic link";
    case WalkNoteKind::NotARegularFile: return "skipped: not a regular file";
    case WalkNoteKind::CannotExamine: return "cannot examine";
    case WalkNoteKind::CannotReadFolder: return "cannot read folder";
    case WalkNoteKind::NoCrwFiles: return "no .crw files";
  }
  return "";
}

bool MayMissPhotos(WalkNoteKind kind) {
  return kind != WalkNoteKind::BackupCopy && kind != WalkNoteKind::LinkToFolder && kind != WalkNoteKind::NoCrwFiles;
}

bool FileArguments::Complete() const {
  return std::none_of(notes.begin(), notes.end(), [](const WalkNote& note) { return MayMissPhotos(note.kind); });
}

FileArguments ExpandFileArguments(const std::vector<std::string>& arguments) {
  FileArguments found;
  FolderWalk walk(found);
  for (const std::string& argument : arguments) {
    if (!IsFolder(argument)) {
      found.files.emplace_back(argument);
      continue;
    }
    const std::size_t before = found.files.size();
    // Only a folder read whole can be said to hold no photos.
    if (walk.Walk(argument) && found.files.size() == before) found.notes.push_back({WalkNoteKind::NoCrwFiles, argument});
  }
  return found;
}

}  // namespace tailmend

#include "cli/file_arguments.h"

#include <algorithm>
#include <cctype>

#include "engine/backup_copier.h"
#include "platform/folder_listing.h"
#include "platform/path_names.h"
#include "platform/platform_error.h"

namespace tailmend {

namespace {

bool HasCrwExtension(const std::string& name) {
  std::string lower = name.substr(name.size() < 4 ? 0 : name.size() - 4);
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  return lower == ".crw";
}

class FolderWalk {
public:
  explicit FolderWalk(FileArguments& found) : found_(found) {}

  void Walk(const std::string& folder) {
    std::vector<FolderEntry> entries;
    try {
      entries = ListFolder(folder);
    } catch (const PlatformError& error) {
      Problem(error.what());
      return;
    }
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    for (const FolderEntry& entry : entries) Visit(PathInFolder(folder, entry.name), entry);
  }

private:
  FileArguments& found_;

  void Visit(const std::string& path, const FolderEntry& entry) {
    if (entry.kind == EntryKind::Folder) return Walk(path);
    if (!HasCrwExtension(entry.name)) return;
    if (entry.kind != EntryKind::File) return Problem("Skipped \"" + path + "\": not a regular file");
    // Repairing a backup in place would lose the only copy of the photo as it was found.
    if (IsBackupName(entry.name)) return found_.messages.push_back("Skipped \"" + path + "\": a backup copy");
    found_.files.push_back(path);
  }

  void Problem(std::string message) {
    found_.messages.push_back(std::move(message));
    found_.complete = false;
  }
};

}  // namespace

FileArguments ExpandFileArguments(const std::vector<std::string>& arguments) {
  FileArguments found;
  FolderWalk walk(found);
  for (const std::string& argument : arguments) {
    if (!IsFolder(argument)) {
      found.files.push_back(argument);
      continue;
    }
    const std::size_t before = found.files.size();
    walk.Walk(argument);
    if (found.files.size() == before) found.messages.push_back("No .crw files in \"" + argument + "\"");
  }
  return found;
}

}  // namespace tailmend

#pragma once

#include <string>
#include <vector>

namespace tailmend {

// What a name in a folder stands for. Symbolic links to folders are not folders here: a walk that
// followed them could go round in circles.
enum class EntryKind { Folder, File, LinkToFolder, Other };

struct FolderEntry {
  std::string name;  // UTF-8, without the folder's path
  EntryKind kind;
};

// True when path names a folder, or a symbolic link to one.
bool IsFolder(const std::string& path);

// The entries of a folder in the order the system gives them, without "." and "..". A folder that
// cannot be read raises PlatformError with the text "Cannot read folder "<path>". <message>".
std::vector<FolderEntry> ListFolder(const std::string& path);

}  // namespace tailmend

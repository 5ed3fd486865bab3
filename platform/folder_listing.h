#pragma once

#include <string>
#include <vector>

#include "platform/file_identity.h"

namespace tailmend {

// What a name in a folder stands for. Symbolic links (on Windows, reparse points) are never taken
// for what they point to: a walk that followed them could go round in circles, or leave the folder
// it was given.
enum class EntryKind { Folder, File, LinkToFolder, Link, Other, CannotExamine };

struct FolderEntry {
  std::string name;  // UTF-8, without the folder's path
  EntryKind kind;
  // Of a File: which file the name stood for when it was listed.
  FileIdentity identity{};
  // Of an entry that cannot be examined: the system's reason.
  std::string problem{};
};

// True when path names a folder, or a symbolic link to one.
bool IsFolder(const std::string& path);

// The entries of a folder in the order the system gives them, without "." and "..". A folder that
// cannot be read raises PlatformError with the text "Cannot read folder "<path>". <message>".
std::vector<FolderEntry> ListFolder(const std::string& path);

}  // namespace tailmend

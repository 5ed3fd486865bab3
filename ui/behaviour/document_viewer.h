#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tailmend {

// The one line the viewer shows when the document is in none of its folders.
inline constexpr const char* kMissingDocumentText = "Document file doesn't exist.";
// The error of a document that exists but cannot be read.
inline constexpr const char* kLoadFailureText = "Failed to Load Stream";

// Where a help document is looked for, in order: beside the program (where the build, the zip and
// the installer put it), the installed data folder where a system has one, then the current folder.
std::vector<std::string> DocumentFolders(const std::string& programFolder, const std::optional<std::string>& dataFolder,
                                         const std::string& currentFolder);

// The full path of the first file of that name in the folders, or nothing.
std::optional<std::string> FindDocument(const std::string& name, const std::vector<std::string>& folders);

// The whole document, opened for reading while others may only read it. Raises PlatformError with
// the open error's text, or with kLoadFailureText when it cannot be read whole.
std::string ReadDocument(const std::string& path);

}  // namespace tailmend

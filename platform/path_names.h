#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tailmend {

// Where the file name begins in a path: right after its last directory separator, or 0. POSIX
// separates with '/' only; Windows with '\' or a drive's ':' (a '/' is part of the name there, as
// the backup naming has always had it).
std::size_t FileNameStart(std::string_view path);

// The file name of a path without its folder.
std::string FileNameOf(std::string_view path);

// A name inside a folder, with the system's separator between them.
std::string PathInFolder(std::string_view folder, std::string_view name);

}  // namespace tailmend

#pragma once

#include <cstdint>
#include <string>

#include "engine/types.h"
#include "platform/file_stream.h"

namespace tailmend {

// The repair into another folder: writes the photo's first length bytes into outputFolder with
// the guarantees of a backup: a temporary beside the copy, flushed, the photo's access rules and
// times, then named without replacing anything. A file the user named goes into outputFolder under
// its own name; one a walk found goes to its path below the folder it was found in, whose folders
// are entered, or made no more open than the ones they stand for, each within the one above it
// and never through a symbolic link. The photo is only read. Returns false, with nothing written,
// when the photo is no longer the one that was scanned. A name in the way, a link among the
// folders and failures of the system raise PlatformError, and leave no partial copy.
bool WriteRepairedCopy(FileStream& photo, const FileStamp& scanned, std::int64_t length, const SelectedFile& selected,
                       const std::string& outputFolder);

}  // namespace tailmend

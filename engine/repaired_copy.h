#pragma once

#include <cstdint>
#include <string>

#include "platform/file_stream.h"

namespace tailmend {

enum class CopyOutcome {
  Written,
  NameTaken,      // something is already under the destination's name: it stays as it is
  SourceChanged,  // the photo is no longer the one that was scanned: nothing is published
};

// The repair into another folder: writes the photo's first length bytes to destination with the
// guarantees of a backup: its folders made as needed, a temporary beside it, flushed, the photo's
// access rules and times, then named without replacing anything. The photo is only read. Failures
// of the system raise PlatformError, and leave no partial copy.
CopyOutcome WriteRepairedCopy(FileStream& photo, const FileStamp& scanned, std::int64_t length,
                              const std::string& destination);

}  // namespace tailmend

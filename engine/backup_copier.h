#pragma once

#include <string>

#include "platform/stream.h"

namespace tailmend {

// The backup of dir/IMG_0042.CRW is dir/IMG_0042_bak<number>.crw.
std::string BackupName(const std::string& sourcePath, unsigned long long number);

// Copies the whole source, read through its open stream, to the first free backup name beside it
// and flushes it to disk. On failure nothing of the backup is left behind. Leaves the source stream
// at its end.
bool BackupSourceFile(const std::string& fileName, Stream& source);

}  // namespace tailmend

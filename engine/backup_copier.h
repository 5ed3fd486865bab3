#pragma once

#include <string>
#include <string_view>

#include "platform/stream.h"

namespace tailmend {

// The backup of dir/IMG_0042.CRW is dir/IMG_0042_bak<number>.crw.
std::string BackupName(const std::string& sourcePath, unsigned long long number);
// True when a file name (without its folder) has the form BackupName gives its copies.
bool IsBackupName(std::string_view name);

// Copies the whole source, read through its open stream, under a temporary name beside it, with
// the photo's permission bits and times when the source is a file; flushes it to disk and only then
// gives it the first free backup name, never replacing anything. On failure the temporary goes and
// no partial backup is left; only a failure to flush the folder after the naming leaves the whole
// backup in place. Leaves the source stream at its end.
bool BackupSourceFile(const std::string& fileName, Stream& source);

// What became of a backup: the name it was given, or why it was not written (the system's
// message, or what went wrong with the copy).
struct BackupOutcome {
  bool written = false;
  std::string name;
  std::string failureReason;
};
// The same as BackupSourceFile, telling what became of the backup.
BackupOutcome BackUp(const std::string& fileName, Stream& source);

}  // namespace tailmend

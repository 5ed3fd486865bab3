#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/file_stream.h"
#include "platform/held_folder.h"
#include "platform/stream.h"

namespace tailmend {

// The folder part of a path (with its separator) and its file name without the last four
// characters (not bytes), its extension in practice.
struct NameParts {
  std::string directory;
  std::string base;
};
NameParts SplitName(const std::string& path);

// A copy while it is written: under a random temporary name in the folder it is to be named in
// (never ending in .crw, so that neither a backup's numbering nor a person takes it for a photo or
// a backup), removed again unless it got its final name. A run killed meanwhile leaves only the
// temporary behind, never a partial file under the final name.
class TemporaryCopy {
public:
  // The temporary is named after the copy's final name, never longer than it: the name's last
  // nine characters give way to "~", four hexadecimal digits and ".tmp" (IMG_0042_bak0.crw gives
  // IMG_0042~3fa9.tmp), so that any copy whose name fits can have its temporary.
  TemporaryCopy(const HeldFolder& folder, const std::string& finalName);
  TemporaryCopy(const TemporaryCopy&) = delete;
  TemporaryCopy& operator=(const TemporaryCopy&) = delete;
  ~TemporaryCopy();

  FileStream& Stream() { return *stream_; }

  // Flushes and closes the copy first, so that whatever appears under a final name is the whole
  // copy, then gives it the name in its folder without ever replacing anything there: false when
  // the name is taken.
  bool GiveName(const std::string& name);

private:
  const HeldFolder& folder_;
  std::string name_;
  std::optional<FileStream> stream_;
  bool named_ = false;
};

// Copies the source from its start into target until atMost bytes or the source's end, inside the
// system where it can for a file on disk, block by block otherwise, and returns how many bytes
// were copied; the source is left where the copy ended.
std::int64_t CopyUpTo(Stream& source, FileStream& target, std::int64_t atMost);

}  // namespace tailmend

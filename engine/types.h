#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_identity.h"

namespace tailmend {

// A file to repair. A name the user gave is opened wherever it leads, links included; a file met
// in a folder walk carries the identity it was listed with, and is repaired only if its name still
// stands for that very file.
struct SelectedFile {
  SelectedFile(std::string fullPath) : path(std::move(fullPath)) {}  // NOLINT(google-explicit-constructor)
  SelectedFile(const char* fullPath) : path(fullPath) {}             // NOLINT(google-explicit-constructor)
  SelectedFile(std::string fullPath, FileIdentity listed, std::string nameBelowFolder)
      : path(std::move(fullPath)), listedAs(listed), relativeName(std::move(nameBelowFolder)) {}

  std::string path;
  std::optional<FileIdentity> listedAs;
  // Where a repair into another folder puts it: its path below the folder it was found in, with
  // the system's separators; empty for a name the user gave, which goes there under its own name.
  std::string relativeName;

  friend bool operator==(const SelectedFile&, const SelectedFile&) = default;
};

// The files to repair, in the order the user chose them.
using FileList = std::vector<SelectedFile>;

// A length of kScanFloor or more to cut the file to, or one of the codes below.
using TailResult = std::int32_t;

inline constexpr TailResult kTailUnknownError = -1;
inline constexpr TailResult kTailInvalidFile = -2;
inline constexpr TailResult kTailNotFound = -3;

// Asked now and then during work that may take long on one file (the scan of long junk): true
// when the user asked to stop. An empty one never stops.
using StopRequest = std::function<bool()>;

}  // namespace tailmend

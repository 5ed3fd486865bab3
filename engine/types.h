#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tailmend {

// Full paths of the files to repair, in the order the user chose them.
using FileList = std::vector<std::string>;

// One line of the event list: its number (the row count once it is added), the path and the event.
struct EventRow {
  std::string number;
  std::string file;
  std::string event;
};

// A length of kScanFloor or more to cut the file to, or one of the codes below.
using TailResult = std::int32_t;

inline constexpr TailResult kTailUnknownError = -1;
inline constexpr TailResult kTailInvalidFile = -2;
inline constexpr TailResult kTailNotFound = -3;

}  // namespace tailmend

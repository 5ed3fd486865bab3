#pragma once

#include <cstdint>

namespace tailmend {

// Which file a name stood for when its folder was listed: the device and the file's number on it
// (on Windows the volume's serial number and the file index). Another file put under the same
// name later has another identity.
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t file = 0;

  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

}  // namespace tailmend

#pragma once

#include <windows.h>

#include "platform/file_identity.h"

namespace tailmend {

// A file's identity on Windows: its volume's serial number and its index on that volume.
inline FileIdentity IdentityOf(DWORD volumeSerial, std::uint64_t fileIndex) { return {volumeSerial, fileIndex}; }

inline FileIdentity IdentityOf(const BY_HANDLE_FILE_INFORMATION& info) {
  return IdentityOf(info.dwVolumeSerialNumber, (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow);
}

}  // namespace tailmend

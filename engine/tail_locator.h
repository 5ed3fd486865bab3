#pragma once

#include <string>

#include "engine/types.h"
#include "platform/stream.h"

namespace tailmend {

// CIFF root heaps start right after the 26-byte file header.
inline constexpr std::int64_t kCiffHeaderSize = 26;
// Smaller files cannot be Canon CRW photos.
inline constexpr std::int64_t kMinFileSize = 102400;
// No repaired CRW file is shorter than this, so lower positions are never tested.
inline constexpr std::int64_t kScanFloor = 0xA0000;
// Positions are 32-bit; no CRW file comes near this size.
inline constexpr std::int64_t kMaxFileSize = std::int64_t{1} << 31;

// Finds where the root heap of the CRW file really ends (or, when Canon's recipe trailer follows it,
// where that trailer ends). Reads the file from its end backwards, a block at a time, only as far
// as the search needs; changes nothing.
TailResult FindFileTail(Stream& stream);
// The same, and for kTailUnknownError the reason the file could not be read.
TailResult FindFileTail(Stream& stream, std::string& failureReason);

}  // namespace tailmend

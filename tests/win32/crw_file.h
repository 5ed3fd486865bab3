#pragma once

#include <cstdint>

#include "tests/win32/temp_folder.h"

namespace tailmend::test {

// The smallest length a heap end is looked for at; test files sit a little above it.
inline constexpr std::uint32_t kHeapEnd = 0xA0000 + 4096;

// A little-endian CRW file whose root heap, filled with patterned image bytes, ends at heapEnd
// with a directory of three entries, followed by junk bytes of 0xEE (read as a pointer they point
// far beyond the file, so no position in them passes as a heap end).
Bytes MakeCrw(std::uint32_t heapEnd, std::uint32_t junk);

}  // namespace tailmend::test

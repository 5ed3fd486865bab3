#include "tests/win32/crw_file.h"

#include <cstring>

namespace tailmend::test {

namespace {

constexpr std::uint32_t kHeaderSize = 26;
constexpr std::uint32_t kEntries = 3;
constexpr std::uint32_t kDirectorySize = 2 + 10 * kEntries + 4;

void PutU32(Bytes& bytes, std::uint32_t offset, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<unsigned char>(value >> (8 * i));
}

}  // namespace

Bytes MakeCrw(std::uint32_t heapEnd, std::uint32_t junk) {
  Bytes bytes(heapEnd + junk, 0xEE);
  std::memcpy(bytes.data(), "II", 2);
  PutU32(bytes, 2, kHeaderSize);
  std::memcpy(bytes.data() + 6, "HEAPCCDR", 8);
  std::memset(bytes.data() + 14, 0, kHeaderSize - 14);
  const std::uint32_t directory = heapEnd - kDirectorySize;
  for (std::uint32_t i = kHeaderSize; i < directory; ++i) bytes[i] = static_cast<unsigned char>(i * 31 + 7);
  std::memset(bytes.data() + directory, 0, kDirectorySize);
  bytes[directory] = kEntries;
  PutU32(bytes, heapEnd - 4, directory - kHeaderSize);
  return bytes;
}

}  // namespace tailmend::test

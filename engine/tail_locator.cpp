#include "engine/tail_locator.h"

#include <cstring>
#include <exception>
#include <optional>
#include <vector>

#include "platform/platform_error.h"

namespace tailmend {

namespace {

using Bytes = std::vector<unsigned char>;

enum class ByteOrder { Little, Big };

// A CIFF directory is a 2-byte entry count, 10-byte entries, then the 4-byte pointer back to it.
constexpr std::uint32_t kDirectoryCountSize = 2;
constexpr std::uint32_t kDirectoryEntrySize = 10;
constexpr std::uint32_t kDirectoryPointerSize = 4;

std::uint32_t ReadU32Before(const Bytes& bytes, std::uint32_t position, ByteOrder order) {
  const unsigned char* p = bytes.data() + position - 4;
  if (order == ByteOrder::Big) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
  }
  return (std::uint32_t{p[3]} << 24) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
}

std::uint16_t ReadU16At(const Bytes& bytes, std::uint32_t offset, ByteOrder order) {
  const unsigned char* p = bytes.data() + offset;
  return order == ByteOrder::Big ? static_cast<std::uint16_t>((p[0] << 8) | p[1])
                                 : static_cast<std::uint16_t>((p[1] << 8) | p[0]);
}

// The four bytes before a heap end point back to its directory. The distance from that directory
// to the end, plus the file header, is 32 + 10n for a root directory of n = 2..8 entries.
bool IsPlausibleHeapEnd(const Bytes& bytes, std::uint32_t position, ByteOrder order) {
  const std::uint32_t distance = position - ReadU32Before(bytes, position, order);
  return distance > 50 && distance < 120 && distance % 10 == 2;
}

// True when the file's own last four bytes point to a directory that ends exactly at the end of
// the file, whatever its number of entries.
bool EndsWithCompleteDirectory(const Bytes& bytes, ByteOrder order) {
  const auto size = static_cast<std::uint32_t>(bytes.size());
  const std::uint64_t directory = kCiffHeaderSize + std::uint64_t{ReadU32Before(bytes, size, order)};
  if (directory + kDirectoryCountSize + kDirectoryPointerSize > size) return false;
  const std::uint64_t entries = ReadU16At(bytes, static_cast<std::uint32_t>(directory), order);
  return directory + kDirectoryCountSize + kDirectoryEntrySize * entries + kDirectoryPointerSize == size;
}

std::optional<ByteOrder> ByteOrderOf(const Bytes& bytes) {
  if (std::memcmp(bytes.data(), "MM", 2) == 0) return ByteOrder::Big;
  if (std::memcmp(bytes.data(), "II", 2) == 0) return ByteOrder::Little;
  return std::nullopt;
}

// A failing read is treated like a short one: the rest of the buffer stays zero.
void ReadWhole(Stream& stream, Bytes& bytes) {
  try {
    stream.Seek(0);
    stream.Read(bytes.data(), bytes.size());
  } catch (const PlatformError&) {
  }
}

TailResult ScanForHeapEnd(const Bytes& bytes, ByteOrder order) {
  const auto size = static_cast<std::uint32_t>(bytes.size());
  if (size < kScanFloor) return kTailNotFound;
  // A file that is readable as it stands has no tail, however its image data happens to look.
  if (IsPlausibleHeapEnd(bytes, size, order) || EndsWithCompleteDirectory(bytes, order)) {
    return kTailNotFound;
  }
  for (std::uint32_t position = size - 1; position >= kScanFloor; --position) {
    if (!IsPlausibleHeapEnd(bytes, position, order)) continue;
    // Canon's own software appends a trailer that repeats the root pointer at its end; readers
    // open such files, and cutting it would lose the edits stored in it.
    if (ReadU32Before(bytes, position, order) == ReadU32Before(bytes, size, order)) return kTailNotFound;
    return static_cast<TailResult>(position);
  }
  return kTailNotFound;
}

}  // namespace

TailResult FindFileTail(Stream& stream) {
  TailResult result = kTailUnknownError;
  try {
    const std::int64_t size = stream.Size();
    if (size < kMinFileSize || size >= kMaxFileSize) return kTailInvalidFile;
    Bytes bytes(static_cast<std::size_t>(size));
    ReadWhole(stream, bytes);
    const auto order = ByteOrderOf(bytes);
    if (!order) return kTailInvalidFile;
    result = ScanForHeapEnd(bytes, *order);
  } catch (const std::exception&) {
  }
  return result;
}

}  // namespace tailmend

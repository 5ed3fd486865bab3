#pragma once

#include <cstdint>
#include <span>

#include "platform/stream.h"

namespace tailmend {

// CIFF files store their numbers little-endian ("II") or big-endian ("MM"), as the mark says.
enum class ByteOrder { Little, Big };

// Inline: the scan decodes a value at every position of the junk.
inline std::uint16_t DecodeU16(const unsigned char* p, ByteOrder order) {
  if (order == ByteOrder::Big) return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
  return static_cast<std::uint16_t>((p[1] << 8) | p[0]);
}

inline std::uint32_t DecodeU32(const unsigned char* p, ByteOrder order) {
  if (order == ByteOrder::Big) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
  }
  return (std::uint32_t{p[3]} << 24) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
}

// Bytes of a file that a reader holds in memory already, as FileBytes delivered them: the file's
// bytes from `from` on.
struct HeldBytes {
  std::uint64_t from = 0;
  std::span<const unsigned char> bytes;

  bool Holds(std::uint64_t offset, std::uint64_t count) const {
    return offset >= from && offset - from + count <= bytes.size();
  }
};

// The file as one zero-filled buffer of the size taken at the start would hold it after one read
// of the whole file, but read only where asked: a read that falls short leaves the bytes it did not
// deliver zero, exactly as in that buffer, and bytes at or past the size are zero. Offsets are
// 64-bit, so that no sum of a file's 32-bit offsets and lengths wraps round before it is compared.
// A read that fails raises PlatformError: bytes the system could not read are unknown, not zero,
// and a scan that went on over them could pass the real heap end and cut at a spurious one below
// it, or lose the healthy-file rules.
class FileBytes {
public:
  FileBytes(Stream& stream, std::uint32_t size) : stream_(stream), size_(size) {}

  std::uint32_t Size() const { return size_; }

  // Bytes from offset on, as many as fit into out.
  void Read(std::uint64_t offset, std::span<unsigned char> out);
  std::uint16_t U16At(std::uint64_t offset, ByteOrder order);
  std::uint32_t U32At(std::uint64_t offset, ByteOrder order);
  // The value in the four bytes before end; an end below 4 reads the missing bytes as zero.
  std::uint32_t U32Before(std::uint64_t end, ByteOrder order);
  // Tells the system that the bytes from offset on, count of them (those inside the file), will be
  // read soon; false where it takes no such hints (Stream::WillRead).
  bool WillRead(std::uint64_t offset, std::uint64_t count);

private:
  Stream& stream_;
  std::uint32_t size_;
};

}  // namespace tailmend

#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tailmend::test {

using Bytes = std::vector<unsigned char>;

// Builds CIFF files the way a camera lays them out: a 26-byte header, a root heap of image-like
// filler ending in its directory and the pointer back to it, then whatever was appended after it.
class CiffBuilder {
public:
  CiffBuilder& BigEndian(bool big = true);
  // The mark bytes at the start; "II" or "MM" by default, from the byte order.
  CiffBuilder& Mark(std::string mark);
  // The file offset at which the root heap ends.
  CiffBuilder& HeapEnd(std::uint32_t length);
  CiffBuilder& RootEntries(std::uint16_t count);
  // Bytes appended after the heap.
  CiffBuilder& Junk(std::size_t count, unsigned char fill = 0xFF);
  CiffBuilder& Junk(const Bytes& bytes);

  Bytes Build() const;
  // The same into bytes, reusing its storage: thousands of generated files stay cheap.
  void BuildInto(Bytes& bytes) const;

private:
  bool big_ = false;
  std::string mark_;
  std::uint32_t heapEnd_ = 700000;
  std::uint16_t entries_ = 3;
  Bytes junk_;
};

// Deterministic noise standing in for compressed image data. Its 32-bit values are spread over the
// whole range, so by chance almost none of them points a few dozen bytes back.
Bytes Noise(std::size_t count, std::uint32_t seed);

// Stores value at offset in the given byte order.
void PutU32(Bytes& bytes, std::size_t offset, std::uint32_t value, bool bigEndian = false);
void PutU16(Bytes& bytes, std::size_t offset, std::uint16_t value, bool bigEndian = false);

// Canon's recipe trailer as its software appends it after the heap that ends at heapEnd: a 28-byte
// header ("CANON OPTIONAL DATA", the length of the records), the records, and a 64-byte footer
// (the signature, the same length, zeros, and a copy of the root pointer found before heapEnd).
Bytes CanonOptionalTrailer(const Bytes& file, std::uint32_t heapEnd, std::uint32_t recordsLength = 468);

}  // namespace tailmend::test

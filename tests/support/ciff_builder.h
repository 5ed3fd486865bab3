#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tailmend::test {

using Bytes = std::vector<unsigned char>;

// One entry of a CIFF directory. Its data goes into the heap, in the order of the entries, or,
// for a tag whose storage bits are 0x4000, into the entry's own 8 bytes. A tag of a directory kind
// (0x2800, 0x3000) holds a sub-heap built from its children. The optional fields damage it: they
// are written instead of the true values, and everything else stays where it would be.
struct CiffEntry {
  std::uint16_t tag = 0;
  Bytes data;
  // 32-bit values appended to data in the file's byte order.
  std::vector<std::uint32_t> words;
  std::vector<CiffEntry> children;
  // Image data: as large as the room the heap has left, filled with image-like noise.
  bool fillsHeap = false;
  std::optional<std::uint32_t> size;
  std::optional<std::uint32_t> offset;
  // A sub-heap's entry count and directory offset.
  std::optional<std::uint16_t> count;
  std::optional<std::uint32_t> pointer;
};

// The capture time of the exiv2 sample photo: 2005-04-23 17:54:36 by the camera's clock.
inline constexpr std::uint32_t kSampleCaptureTime = 0x426A8BDCu;

CiffEntry Value(std::uint16_t tag, Bytes data);
CiffEntry SubHeap(std::uint16_t tag, std::vector<CiffEntry> children);
// The raw image (0x2005), which takes the rest of its heap.
CiffEntry ImageData();
// A JPEG of size bytes (at least 4) for the preview (0x2007): its start and end markers, then
// padding zeros.
Bytes Jpeg(std::size_t size, std::size_t padding = 1, unsigned char paddingByte = 0);
CiffEntry PreviewJpeg(std::size_t size = 1024, std::size_t padding = 1);
// The image properties (0x300a) as a camera writes them: the original file name (0x0816), the
// capture time (0x180e), a file number stored in its entry, and the camera object (0x2807) with
// the make and model and, one level further down, the firmware.
CiffEntry ImageProperties(const std::string& originalName = "CRW_0042.CRW", std::uint32_t time = kSampleCaptureTime);
// A root of count entries: the raw image, the preview, the image properties, then free bytes.
std::vector<CiffEntry> CameraRoot(std::uint16_t count = 3);

// Builds CIFF files the way a camera lays them out: a 26-byte header, a root heap of image-like
// filler ending in its directory and the pointer back to it, then whatever was appended after it.
class CiffBuilder {
public:
  CiffBuilder& BigEndian(bool big = true);
  // The mark bytes at the start; "II" or "MM" by default, from the byte order.
  CiffBuilder& Mark(std::string mark);
  // The file offset at which the root heap ends.
  CiffBuilder& HeapEnd(std::uint32_t length);
  // A camera's root (CameraRoot) of this many entries; a heap too small for it gets empty ones.
  CiffBuilder& RootEntries(std::uint16_t count);
  CiffBuilder& Root(std::vector<CiffEntry> entries);
  // The entry count written in the root directory instead of the number of its entries.
  CiffBuilder& RootCount(std::uint16_t count);
  // Bytes appended after the heap.
  CiffBuilder& Junk(std::size_t count, unsigned char fill = 0xFF);
  CiffBuilder& Junk(const Bytes& bytes);

  Bytes Build() const;
  // The same into bytes, reusing its storage: thousands of generated files stay cheap.
  void BuildInto(Bytes& bytes) const;
  // The file offset of the root directory (its entry count); entry k follows at + 2 + 10k.
  std::uint32_t RootDirectoryAt() const;

private:
  bool big_ = false;
  std::string mark_;
  std::uint32_t heapEnd_ = 700000;
  std::uint16_t entries_ = 3;
  std::optional<std::vector<CiffEntry>> root_;
  std::optional<std::uint16_t> rootCount_;
  Bytes junk_;

  std::vector<CiffEntry> RootToBuild() const;
};

// Deterministic noise standing in for compressed image data. Its 32-bit values are spread over the
// whole range, so by chance almost none of them points a few dozen bytes back.
Bytes Noise(std::size_t count, std::uint32_t seed);

// A readable root directory of count entries (free bytes, empty) written over whatever is there,
// with its pointer ending at heapEnd: a second heap end inside image data or junk. Returns the
// file offset of its entry count.
std::size_t PlantRootDirectory(Bytes& bytes, std::uint32_t heapEnd, std::uint16_t count = 3, bool bigEndian = false);

// Stores value at offset in the given byte order.
void PutU32(Bytes& bytes, std::size_t offset, std::uint32_t value, bool bigEndian = false);
void PutU16(Bytes& bytes, std::size_t offset, std::uint16_t value, bool bigEndian = false);

// Canon's recipe trailer as its software appends it after the heap that ends at heapEnd: a 28-byte
// header ("CANON OPTIONAL DATA", the length of the records), the records, and a 64-byte footer
// (the signature, the same length, zeros, and a copy of the root pointer found before heapEnd).
Bytes CanonOptionalTrailer(const Bytes& file, std::uint32_t heapEnd, std::uint32_t recordsLength = 468);

}  // namespace tailmend::test

#include "tests/support/ciff_builder.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace tailmend::test {

namespace {

constexpr std::size_t kHeaderSize = 26;
constexpr std::size_t kEntrySize = 10;

constexpr std::uint32_t kImageNoiseSeed = 0x2545F491u;

void FillWithNoise(Bytes& bytes, std::size_t from, std::size_t to, std::uint32_t seed) {
  std::uint32_t state = seed;
  for (std::size_t i = from; i < to; ++i) {
    state = state * 1664525u + 1013904223u;
    bytes[i] = static_cast<unsigned char>(state >> 24);
  }
}

// The image noise of every file, made once: thousands of generated files must stay cheap.
const Bytes& ImageNoise(std::size_t count) {
  static Bytes noise;
  if (noise.size() < count) noise = Noise(count, kImageNoiseSeed);
  return noise;
}

void WriteHeader(Bytes& bytes, const std::string& mark, bool big) {
  std::memcpy(bytes.data(), mark.data(), std::min<std::size_t>(mark.size(), 2));
  PutU32(bytes, 2, kHeaderSize, big);
  std::memcpy(bytes.data() + 6, "HEAPCCDR", 8);
  PutU32(bytes, 14, 0x00010002u, big);
}

// Directory at heapEnd - 4 - 10n - 2, relative offset stored in the heap's last four bytes.
void WriteRootDirectory(Bytes& bytes, std::uint32_t heapEnd, std::uint16_t entries, bool big) {
  const std::size_t directory = heapEnd - 4 - kEntrySize * entries - 2;
  if (directory < kHeaderSize) throw std::invalid_argument("heap too small for its directory");
  PutU16(bytes, directory, entries, big);
  for (std::uint16_t e = 0; e < entries; ++e) {
    const std::size_t entry = directory + 2 + kEntrySize * e;
    PutU16(bytes, entry, static_cast<std::uint16_t>(0x2005 + e), big);
    PutU32(bytes, entry + 2, 1024, big);
    PutU32(bytes, entry + 6, 1024u * e, big);
  }
  PutU32(bytes, heapEnd - 4, static_cast<std::uint32_t>(directory - kHeaderSize), big);
}

}  // namespace

Bytes Noise(std::size_t count, std::uint32_t seed) {
  Bytes bytes(count);
  FillWithNoise(bytes, 0, count, seed);
  return bytes;
}

void PutU32(Bytes& bytes, std::size_t offset, std::uint32_t value, bool bigEndian) {
  for (int k = 0; k < 4; ++k) {
    const int shift = bigEndian ? 8 * (3 - k) : 8 * k;
    bytes.at(offset + k) = static_cast<unsigned char>(value >> shift);
  }
}

void PutU16(Bytes& bytes, std::size_t offset, std::uint16_t value, bool bigEndian) {
  bytes.at(offset + (bigEndian ? 1 : 0)) = static_cast<unsigned char>(value);
  bytes.at(offset + (bigEndian ? 0 : 1)) = static_cast<unsigned char>(value >> 8);
}

CiffBuilder& CiffBuilder::BigEndian(bool big) {
  big_ = big;
  return *this;
}

CiffBuilder& CiffBuilder::Mark(std::string mark) {
  mark_ = std::move(mark);
  return *this;
}

CiffBuilder& CiffBuilder::HeapEnd(std::uint32_t length) {
  heapEnd_ = length;
  return *this;
}

CiffBuilder& CiffBuilder::RootEntries(std::uint16_t count) {
  entries_ = count;
  return *this;
}

CiffBuilder& CiffBuilder::Junk(std::size_t count, unsigned char fill) { return Junk(Bytes(count, fill)); }

CiffBuilder& CiffBuilder::Junk(const Bytes& bytes) {
  junk_.insert(junk_.end(), bytes.begin(), bytes.end());
  return *this;
}

Bytes CiffBuilder::Build() const {
  Bytes bytes;
  BuildInto(bytes);
  return bytes;
}

void CiffBuilder::BuildInto(Bytes& bytes) const {
  if (heapEnd_ < kHeaderSize) throw std::invalid_argument("heap ends inside the file header");
  bytes.assign(heapEnd_ + junk_.size(), 0);
  const Bytes& noise = ImageNoise(heapEnd_ - kHeaderSize);
  std::copy_n(noise.begin(), heapEnd_ - kHeaderSize, bytes.begin() + kHeaderSize);
  WriteHeader(bytes, mark_.empty() ? (big_ ? "MM" : "II") : mark_, big_);
  WriteRootDirectory(bytes, heapEnd_, entries_, big_);
  std::copy(junk_.begin(), junk_.end(), bytes.begin() + heapEnd_);
}

Bytes CanonOptionalTrailer(const Bytes& file, std::uint32_t heapEnd, std::uint32_t recordsLength) {
  constexpr std::size_t kSignatureSize = 20;  // with its terminating zero
  constexpr std::size_t kHeaderSize = 28;
  constexpr std::size_t kFooterSize = 64;
  constexpr std::uint32_t kRecordHeaderSize = 8;
  Bytes trailer(kHeaderSize + recordsLength + kFooterSize, 0);
  const std::size_t footer = kHeaderSize + recordsLength;
  for (const std::size_t signature : {std::size_t{0}, footer}) {
    std::memcpy(trailer.data() + signature, "CANON OPTIONAL DATA", kSignatureSize);
  }
  PutU16(trailer, 20, 1, true);
  PutU32(trailer, 24, recordsLength, true);
  PutU32(trailer, footer + 20, recordsLength, true);
  // One record: its type, its length and an edit recipe in XML, as Canon's software stores it.
  if (recordsLength >= kRecordHeaderSize) {
    PutU32(trailer, kHeaderSize, 0xFFFF00F6u, true);
    PutU32(trailer, kHeaderSize + 4, recordsLength - kRecordHeaderSize, true);
    const std::string recipe = "<x:xmpmeta xmlns:x='adobe:ns:meta/'><rdf:RDF/></x:xmpmeta>";
    for (std::size_t k = kHeaderSize + kRecordHeaderSize; k < footer; ++k) {
      trailer[k] = static_cast<unsigned char>(recipe[k % recipe.size()]);
    }
  }
  std::copy(file.begin() + heapEnd - 4, file.begin() + heapEnd, trailer.end() - 4);
  return trailer;
}

}  // namespace tailmend::test

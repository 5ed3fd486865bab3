#include "tests/support/ciff_builder.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <utility>

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

constexpr std::size_t kCountSize = 2;
constexpr std::size_t kPointerSize = 4;
constexpr std::size_t kValueInEntrySize = 8;

constexpr std::uint16_t kImageDataTag = 0x2005;
constexpr std::uint16_t kPreviewTag = 0x2007;
constexpr std::uint16_t kFreeBytesTag = 0x0006;
// A camera's text fields have a fixed length, padded with zeros.
constexpr std::size_t kTextFieldSize = 32;

std::size_t DirectorySize(std::size_t entries) { return kCountSize + kEntrySize * entries + kPointerSize; }

bool StoredInEntry(std::uint16_t tag) { return (tag & 0xC000) == 0x4000; }

bool HoldsSubHeap(std::uint16_t tag) {
  const unsigned kind = tag & 0x3800u;
  return (tag & 0xC000) == 0 && (kind == 0x2800 || kind == 0x3000);
}

// What an entry takes in its heap; image data that fills the heap counts nothing here.
std::size_t DataSize(const CiffEntry& entry) {
  if (StoredInEntry(entry.tag) || entry.fillsHeap) return 0;
  if (!HoldsSubHeap(entry.tag)) return entry.data.size() + 4 * entry.words.size();
  std::size_t size = DirectorySize(entry.children.size());
  for (const CiffEntry& child : entry.children) size += DataSize(child);
  return size;
}

std::size_t DataSize(const std::vector<CiffEntry>& entries) {
  std::size_t size = 0;
  for (const CiffEntry& entry : entries) size += DataSize(entry);
  return size;
}

Bytes TextField(const std::string& text) {
  Bytes field(kTextFieldSize, 0);
  std::copy_n(text.begin(), std::min(text.size(), kTextFieldSize - 1), field.begin());
  return field;
}

class HeapWriter {
public:
  HeapWriter(Bytes& bytes, bool big) : bytes_(bytes), big_(big) {}

  // The heap [start, end): the entries' data from start on, in their order, and the directory
  // with its pointer closing the heap.
  void Heap(std::size_t start, std::size_t end, const std::vector<CiffEntry>& entries,
            std::optional<std::uint16_t> count, std::optional<std::uint32_t> pointer) {
    if (end < start + DirectorySize(entries.size())) throw std::invalid_argument("heap too small for its directory");
    const std::size_t directory = end - DirectorySize(entries.size());
    const std::size_t fixed = DataSize(entries);
    if (start + fixed > directory) throw std::invalid_argument("heap too small for its entries");
    std::size_t room = directory - start - fixed;
    PutU16(bytes_, directory, count.value_or(static_cast<std::uint16_t>(entries.size())), big_);
    std::size_t cursor = start;
    for (std::size_t k = 0; k < entries.size(); ++k) {
      const CiffEntry& entry = entries[k];
      const std::size_t at = directory + kCountSize + kEntrySize * k;
      PutU16(bytes_, at, entry.tag, big_);
      if (StoredInEntry(entry.tag)) {
        Content(at + 2, entry, kValueInEntrySize);
        continue;
      }
      std::size_t size = DataSize(entry);
      if (entry.fillsHeap) size = std::exchange(room, 0);
      if (HoldsSubHeap(entry.tag)) {
        Heap(cursor, cursor + size, entry.children, entry.count, entry.pointer);
      } else if (!entry.fillsHeap) {
        Content(cursor, entry, size);
      }
      PutU32(bytes_, at + 2, entry.size.value_or(static_cast<std::uint32_t>(size)), big_);
      PutU32(bytes_, at + 6, entry.offset.value_or(static_cast<std::uint32_t>(cursor - start)), big_);
      cursor += size;
    }
    PutU32(bytes_, end - kPointerSize, pointer.value_or(static_cast<std::uint32_t>(directory - start)), big_);
  }

private:
  Bytes& bytes_;
  bool big_;

  // The data, then the words, then zeros up to length.
  void Content(std::size_t at, const CiffEntry& entry, std::size_t length) {
    std::fill_n(bytes_.begin() + static_cast<std::ptrdiff_t>(at), length, 0);
    const auto to = bytes_.begin() + static_cast<std::ptrdiff_t>(at);
    std::copy_n(entry.data.begin(), std::min(entry.data.size(), length), to);
    for (std::size_t w = 0; w < entry.words.size(); ++w) {
      const std::size_t offset = entry.data.size() + 4 * w;
      if (offset + 4 <= length) PutU32(bytes_, at + offset, entry.words[w], big_);
    }
  }
};

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

CiffBuilder& CiffBuilder::Root(std::vector<CiffEntry> entries) {
  root_ = std::move(entries);
  return *this;
}

CiffBuilder& CiffBuilder::RootCount(std::uint16_t count) {
  rootCount_ = count;
  return *this;
}

std::vector<CiffEntry> CiffBuilder::RootToBuild() const {
  if (root_) return *root_;
  std::vector<CiffEntry> camera = CameraRoot(entries_);
  if (kHeaderSize + DataSize(camera) + DirectorySize(entries_) <= heapEnd_) return camera;
  return std::vector<CiffEntry>(entries_, Value(kFreeBytesTag, {}));
}

std::uint32_t CiffBuilder::RootDirectoryAt() const {
  const std::size_t entries = root_ ? root_->size() : entries_;
  return static_cast<std::uint32_t>(heapEnd_ - DirectorySize(entries));
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
  HeapWriter(bytes, big_).Heap(kHeaderSize, heapEnd_, RootToBuild(), rootCount_, std::nullopt);
  std::copy(junk_.begin(), junk_.end(), bytes.begin() + heapEnd_);
}

std::size_t PlantRootDirectory(Bytes& bytes, std::uint32_t heapEnd, std::uint16_t count, bool bigEndian) {
  HeapWriter(bytes, bigEndian).Heap(heapEnd - DirectorySize(count), heapEnd,
                                    std::vector<CiffEntry>(count, Value(kFreeBytesTag, {})), std::nullopt,
                                    std::nullopt);
  const std::size_t directory = heapEnd - DirectorySize(count);
  PutU32(bytes, heapEnd - kPointerSize, static_cast<std::uint32_t>(directory - kHeaderSize), bigEndian);
  return directory;
}

CiffEntry Value(std::uint16_t tag, Bytes data) {
  CiffEntry entry;
  entry.tag = tag;
  entry.data = std::move(data);
  return entry;
}

CiffEntry SubHeap(std::uint16_t tag, std::vector<CiffEntry> children) {
  CiffEntry entry;
  entry.tag = tag;
  entry.children = std::move(children);
  return entry;
}

CiffEntry ImageData() {
  CiffEntry entry;
  entry.tag = kImageDataTag;
  entry.fillsHeap = true;
  return entry;
}

Bytes Jpeg(std::size_t size, std::size_t padding, unsigned char paddingByte) {
  if (size < 4 + padding) throw std::invalid_argument("a JPEG needs its two markers");
  Bytes jpeg = Noise(size, 0x4A504547u);
  const std::size_t end = size - padding;
  jpeg[0] = 0xFF;
  jpeg[1] = 0xD8;
  jpeg[end - 2] = 0xFF;
  jpeg[end - 1] = 0xD9;
  std::fill(jpeg.begin() + static_cast<std::ptrdiff_t>(end), jpeg.end(), paddingByte);
  return jpeg;
}

CiffEntry PreviewJpeg(std::size_t size, std::size_t padding) { return Value(kPreviewTag, Jpeg(size, padding)); }

CiffEntry ImageProperties(const std::string& originalName, std::uint32_t time) {
  CiffEntry captureTime;
  captureTime.tag = 0x180E;
  captureTime.words = {time, 0, 0};  // the seconds, a time zone code, time zone information
  CiffEntry fileNumber;
  fileNumber.tag = 0x5817;
  fileNumber.words = {1000042, 0};
  const std::string makeModel("Canon\0Canon EOS DIGITAL REBEL", 29);
  return SubHeap(0x300A, {Value(0x0816, TextField(originalName)), captureTime, fileNumber,
                          SubHeap(0x2807, {Value(0x080A, TextField(makeModel)),
                                           SubHeap(0x3004, {Value(0x080B, TextField("Firmware Version 1.1.1"))})})});
}

std::vector<CiffEntry> CameraRoot(std::uint16_t count) {
  std::vector<CiffEntry> root = {ImageData(), PreviewJpeg(), ImageProperties()};
  root.resize(std::min<std::size_t>(count, root.size()));
  while (root.size() < count) root.push_back(Value(kFreeBytesTag, Bytes(8, 0)));
  return root;
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

// The heap reader serves its reads from a few windows of the file and keeps the path to the entry
// it checks as it walks. Whatever it reads and keeps, its reading must be the one of the plain way:
// the whole heap in one buffer, walked by the rules as written. That plain way is kept here, and
// both are given the same generated heaps, sound and broken at every level.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sstream>

#include "engine/heap_reader.h"
#include "engine/tail_locator.h"
#include "tests/support/ciff_builder.h"
#include "tests/support/memory_stream.h"

namespace tailmend::test {
namespace {

class PlainReading {
public:
  PlainReading(const Bytes& bytes, bool big) : bytes_(bytes), big_(big) {}

  HeapReading Read(std::uint32_t start, std::uint32_t end) {
    Directory(start, end, 0);
    return reading_;
  }

private:
  const Bytes& bytes_;
  bool big_;
  HeapReading reading_;
  std::vector<std::uint16_t> path_;
  std::uint64_t where_ = 0;
  std::size_t directories_ = 0;
  bool previewSeen_ = false;

  unsigned At(std::uint64_t offset) const { return offset < bytes_.size() ? bytes_[offset] : 0; }
  std::uint32_t U16(std::uint64_t at) const { return big_ ? At(at) << 8 | At(at + 1) : At(at + 1) << 8 | At(at); }
  std::uint32_t U32(std::uint64_t at) const {
    return big_ ? U16(at) << 16 | U16(at + 2) : U16(at + 2) << 16 | U16(at);
  }

  void Fault(HeapFault fault) {
    if (reading_.damage) return;
    HeapDamage damage;
    damage.fault = fault;
    std::copy(path_.begin(), path_.end(), damage.path.begin());
    damage.depth = path_.size();
    damage.offset = where_;
    reading_.damage = damage;
  }

  void Directory(std::uint64_t start, std::uint64_t end, std::size_t level) {
    ++directories_;
    if (end < start + 6) return Fault(HeapFault::DirectoryMisplaced);
    const std::uint64_t size = end - start;
    const std::uint32_t pointer = U32(end - 4);
    if (level == 0) where_ = start + pointer;
    if (std::uint64_t{pointer} + 6 > size) return Fault(HeapFault::DirectoryMisplaced);
    const std::uint32_t count = U16(start + pointer);
    if (count < 1 || count > 127) return Fault(HeapFault::EntryCount);
    const std::uint64_t directoryEnd = std::uint64_t{pointer} + 2 + 10 * count + 4;
    if (level == 0 ? directoryEnd != size : directoryEnd > size) return Fault(HeapFault::DirectoryMisplaced);
    for (std::uint32_t k = 0; k < count; ++k) {
      const std::uint64_t entry = start + pointer + 2 + 10 * k;
      const auto tag = static_cast<std::uint16_t>(U16(entry));
      path_.resize(level);
      path_.push_back(tag);
      where_ = entry;
      Entry(start, pointer, tag, U32(entry + 2), U32(entry + 6), level);
    }
    path_.resize(level);
  }

  void Entry(std::uint64_t heap, std::uint32_t pointer, std::uint16_t tag, std::uint32_t size, std::uint32_t offset,
             std::size_t level) {
    if ((tag >> 14) == 1) return;
    if ((tag >> 14) != 0) return Fault(HeapFault::UnknownStorage);
    if (std::uint64_t{offset} + size > pointer) return Fault(HeapFault::DataOutside);
    const std::uint64_t data = heap + offset;
    const unsigned kind = tag & 0x3800u;
    if (kind == 0x2800 || kind == 0x3000) {
      if (level + 1 > kMaxSubHeapDepth) return Fault(HeapFault::NestedTooDeep);
      if (directories_ >= kMaxDirectories) return Fault(HeapFault::TooManyDirectories);
      const std::uint64_t where = where_;
      Directory(data, data + size, level + 1);
      path_.resize(level + 1);
      path_[level] = tag;
      where_ = where;
    } else if (tag == 0x2007 && !previewSeen_) {
      previewSeen_ = true;
      if (size < 2 || At(data) != 0xFF || At(data + 1) != 0xD8) return Fault(HeapFault::PreviewStart);
      std::uint64_t last = data + size;
      const std::uint64_t first = data + size - std::min<std::uint64_t>(size, 4096);
      while (last > first && (At(last - 1) == 0 || At(last - 1) == 0xFF)) --last;
      if (last < first + 2 || At(last - 1) != 0xD9 || At(last - 2) != 0xFF) Fault(HeapFault::PreviewEnd);
    } else if (tag == 0x0816 && !reading_.originalFileName) {
      std::string name;
      for (std::uint64_t k = 0; k < std::min<std::uint64_t>(size, 64) && At(data + k) != 0; ++k) {
        name.push_back(static_cast<char>(At(data + k)));
      }
      if (!name.empty() && std::all_of(name.begin(), name.end(), [](char c) { return c >= 0x20 && c < 0x7F; })) {
        reading_.originalFileName = name;
      }
    } else if (tag == 0x180E && !reading_.captureTime && size >= 4 && U32(data) != 0) {
      reading_.captureTime = U32(data);
    }
  }
};

// Directory trees of every shape, most of them sound, some broken in one or more places.
class HeapMaker {
public:
  explicit HeapMaker(std::uint32_t seed) : random_(seed) {}

  std::vector<CiffEntry> Root(std::ostringstream& text) {
    std::vector<CiffEntry> root = {ImageData()};
    const std::size_t count = Between(0, 8);
    for (std::size_t k = 0; k < count; ++k) root.push_back(Entry(0, text));
    std::shuffle(root.begin(), root.end(), random_);
    return root;
  }

private:
  std::mt19937 random_;

  std::uint64_t Between(std::uint64_t low, std::uint64_t high) {
    return std::uniform_int_distribution<std::uint64_t>(low, high)(random_);
  }
  bool Chance(std::uint64_t oneIn) { return Between(1, oneIn) == 1; }

  CiffEntry Entry(std::size_t level, std::ostringstream& text) {
    CiffEntry entry;
    switch (Between(0, 9)) {
      case 0:
      case 1:
      case 2: {
        if (level > 7) return Value(0x0006, Bytes(Between(0, 40), 0));
        static constexpr std::uint16_t kTags[] = {0x300A, 0x2807, 0x3004, 0x2804, 0x300B};
        entry = SubHeap(kTags[Between(0, 4)], {});
        const std::size_t children = Chance(10) ? Between(9, 40) : Between(0, 5);
        for (std::size_t k = 0; k < children; ++k) entry.children.push_back(Entry(level + 1, text));
        text << " heap";
        break;
      }
      case 3: {
        Bytes name(Between(0, 70), 0);
        for (auto& c : name) c = static_cast<unsigned char>(Chance(30) ? Between(0, 255) : Between('A', 'Z'));
        if (!name.empty() && Chance(2)) name[Between(0, name.size() - 1)] = 0;
        entry = Value(0x0816, name);
        text << " name";
        break;
      }
      case 4:
        entry.tag = 0x180E;
        entry.words.assign(Between(0, 3), static_cast<std::uint32_t>(Chance(4) ? 0 : Between(1, 0xFFFFFFFF)));
        text << " time";
        break;
      case 5: {
        const std::size_t size = Chance(3) ? Between(4, 60) : Between(4, 9000);
        Bytes jpeg = Jpeg(size, Between(0, size - 4), Chance(2) ? 0 : 0xFF);
        if (Chance(3)) jpeg[Between(0, jpeg.size() - 1)] ^= static_cast<unsigned char>(Between(1, 255));
        if (Chance(6)) jpeg.resize(Between(0, jpeg.size()));
        entry = Value(0x2007, jpeg);
        text << " preview";
        break;
      }
      case 6:
        entry.tag = static_cast<std::uint16_t>(Chance(3) ? 0x8006 | (Between(0, 1) << 14) : 0x5817);
        entry.words = {static_cast<std::uint32_t>(Between(0, 0xFFFFFFFF)), 7};
        text << " stored " << entry.tag;
        break;
      default: entry = Value(static_cast<std::uint16_t>(Between(0, 0x27FF)), Bytes(Between(0, 50), 0x55)); break;
    }
    Damage(entry, text);
    return entry;
  }

  void Damage(CiffEntry& entry, std::ostringstream& text) {
    if (!Chance(12)) return;
    switch (Between(0, 5)) {
      case 0: entry.size = static_cast<std::uint32_t>(Chance(2) ? Between(0, 0xFFFFFFFF) : Between(0, 200)); break;
      case 1: entry.offset = static_cast<std::uint32_t>(Chance(2) ? 0 : Between(0, 0xFFFFFFFF)); break;
      case 2: entry.count = static_cast<std::uint16_t>(Chance(2) ? Between(0, 200) : entry.children.size() + 1); break;
      case 3: entry.pointer = static_cast<std::uint32_t>(Chance(2) ? Between(0, 200) : Between(0, 0xFFFFFFFF)); break;
      default: entry.offset = 0; break;
    }
    text << " (damaged)";
  }
};

TEST(HeapReaderDifferential, AgreesWithThePlainWalkOnGeneratedHeaps) {
  HeapMaker maker(20250612);
  int damaged = 0;
  int named = 0;
  for (int n = 0; n < 3000; ++n) {
    std::ostringstream text;
    const bool big = n % 2 == 1;
    const std::vector<CiffEntry> root = maker.Root(text);
    CiffBuilder builder;
    builder.BigEndian(big).HeapEnd(200000).Root(root);
    Bytes bytes;
    try {
      bytes = builder.Build();
    } catch (const std::invalid_argument&) {
      continue;  // more data than the heap holds
    }
    MemoryStream stream(bytes);
    FileBytes file(stream, static_cast<std::uint32_t>(bytes.size()));
    const HeapRange heap{static_cast<std::uint32_t>(kCiffHeaderSize), 200000};
    const HeapReading expected = PlainReading(bytes, big).Read(heap.start, heap.end);
    const HeapReading reading = ReadHeap(file, heap, big ? ByteOrder::Big : ByteOrder::Little);
    ASSERT_EQ(reading.damage, expected.damage) << "heap " << n << ":" << text.str();
    ASSERT_EQ(reading.originalFileName, expected.originalFileName) << "heap " << n << ":" << text.str();
    ASSERT_EQ(reading.captureTime, expected.captureTime) << "heap " << n << ":" << text.str();
    damaged += expected.damage.has_value();
    named += expected.originalFileName.has_value();
  }
  EXPECT_GT(damaged, 800);
  EXPECT_GT(named, 500);
}

}  // namespace
}  // namespace tailmend::test

// The locator reads only the end of a file, in blocks, and skips most positions after a quick
// test. Whatever it reads and skips, its answer must be the one of the plain way: the whole file
// in one zero-filled buffer, read with one call, every position tested in turn. That plain way is
// kept here, and both are given the same generated files and the same faulty streams.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <sstream>

#include "engine/tail_locator.h"
#include "platform/platform_error.h"
#include "tests/support/ciff_builder.h"
#include "tests/support/memory_stream.h"

namespace tailmend::test {
namespace {

constexpr std::uint32_t kFloor = 655360;
constexpr std::uint32_t kSmallest = 102400;
constexpr char kSignature[20] = "CANON OPTIONAL DATA";

// Bytes from the offset at which the one read failed on are unknown; a scan that needs one of them
// cannot answer.
struct UnknownByte {};

class WholeBuffer {
public:
  WholeBuffer(const Bytes& bytes, bool big, std::uint64_t knownUpTo)
      : bytes_(bytes), big_(big), knownUpTo_(knownUpTo) {}

  std::uint64_t Size() const { return bytes_.size(); }
  // The value in the four bytes before end, in the file's byte order or big-endian.
  std::uint32_t U32Before(std::uint64_t end, bool big) const {
    std::uint32_t value = 0;
    for (int k = 0; k < 4; ++k) {
      const unsigned char byte = At(end - 4 + (big ? k : 3 - k));
      value = (value << 8) | byte;
    }
    return value;
  }
  std::uint32_t U32Before(std::uint64_t end) const { return U32Before(end, big_); }
  std::uint16_t U16At(std::uint64_t at) const {
    const unsigned high = At(big_ ? at : at + 1);
    const unsigned low = At(big_ ? at + 1 : at);
    return static_cast<std::uint16_t>((high << 8) | low);
  }
  bool MarkIs(const char* mark) const { return At(0) == mark[0] && At(1) == mark[1]; }
  bool SignatureAt(std::uint64_t at) const {
    for (std::uint64_t k = 0; k < sizeof kSignature; ++k) {
      if (At(at + k) != static_cast<unsigned char>(kSignature[k])) return false;
    }
    return true;
  }
  std::uint32_t U32At(std::uint64_t at) const { return U32Before(at + 4); }
  bool Plausible(std::uint32_t position) const {
    const std::uint32_t distance = position - U32Before(position);
    return distance >= 52 && distance <= 112 && distance % 10 == 2;
  }
  // The root directory the pointer before a plausible position leads to holds the number of
  // entries the distance says, each stored in itself or in the heap before the directory.
  bool RootReadable(std::uint32_t position) const {
    const std::uint32_t pointer = U32Before(position);
    const std::uint64_t directory = 26 + std::uint64_t{pointer};
    const std::uint32_t entries = (position - pointer - 32) / 10;
    if (U16At(directory) != entries) return false;
    for (std::uint32_t k = 0; k < entries; ++k) {
      const std::uint64_t entry = directory + 2 + 10 * k;
      const unsigned storage = U16At(entry) >> 14;
      if (storage == 1) continue;
      if (storage != 0) return false;
      if (std::uint64_t{U32At(entry + 2)} + U32At(entry + 6) > pointer) return false;
    }
    return true;
  }

private:
  unsigned char At(std::uint64_t offset) const {
    if (offset >= knownUpTo_) throw UnknownByte{};
    return bytes_[offset];
  }

  const Bytes& bytes_;
  bool big_;
  std::uint64_t knownUpTo_;
};

// Cases in which a plausible position was passed over for its root directory.
int passedOver = 0;

TailResult ReferenceScan(const WholeBuffer& file) {
  const auto size = static_cast<std::uint32_t>(file.Size());
  if (size - 1 < kFloor) return kTailNotFound;
  const std::uint32_t last = file.U32Before(size);
  if (file.Plausible(size)) return kTailNotFound;
  const std::uint64_t directory = 26 + std::uint64_t{last};
  if (directory + 6 <= size && directory + 2 + 10 * std::uint64_t{file.U16At(directory)} + 4 == size) {
    return kTailNotFound;
  }
  for (std::uint32_t i = size - 1; i >= kFloor; --i) {
    if (!file.Plausible(i)) continue;
    if (file.U32Before(i) == last) return kTailNotFound;
    if (!file.RootReadable(i)) {
      ++passedOver;
      continue;
    }
    if (i + 28 <= size && file.SignatureAt(i)) {
      const std::uint32_t length = file.U32Before(i + 28, true);
      const std::uint64_t end = std::uint64_t{i} + 28 + length + 64;
      if (end <= size && file.SignatureAt(end - 64) && file.U32Before(end - 40, true) == length &&
          file.U32Before(end) == file.U32Before(i)) {
        return static_cast<TailResult>(end);
      }
    }
    return static_cast<TailResult>(i);
  }
  return kTailNotFound;
}

// The buffer is the caller's, so that its storage is reused from file to file.
TailResult ReferenceFindFileTail(MemoryStream& stream, Bytes& bytes) {
  try {
    const std::int64_t size = stream.Size();
    if (size < kSmallest || size >= (std::int64_t{1} << 31)) return kTailInvalidFile;
    bytes.assign(static_cast<std::size_t>(size), 0);
    std::uint64_t knownUpTo = bytes.size();
    try {
      stream.Seek(0);
      stream.Read(bytes.data(), bytes.size());
    } catch (const PlatformError&) {
      // Each case's stream is fresh: what it delivered is what this one read got.
      knownUpTo = stream.BytesRead();
    }
    const WholeBuffer marks(bytes, false, knownUpTo);
    const bool big = marks.MarkIs("MM");
    if (!big && !marks.MarkIs("II")) return kTailInvalidFile;
    return ReferenceScan(WholeBuffer(bytes, big, knownUpTo));
  } catch (const std::exception&) {
    return kTailUnknownError;
  } catch (const UnknownByte&) {
    return kTailUnknownError;
  }
}

// One generated file, in the stream it is read through, with that stream's faults. Reading does
// not change what a later read delivers, so one stream serves both ways.
struct Case {
  MemoryStream stream;
  std::string description;
};

class CaseMaker {
public:
  explicit CaseMaker(std::uint32_t seed) : random_(seed) {}

  // The storage of a case done with, for the next one.
  void Recycle(Bytes bytes) { recycled_ = std::move(bytes); }

  Case Make() {
    std::ostringstream text;
    const bool big = Chance(2);
    const std::uint32_t heapEnd = HeapEnd();
    const auto entries = static_cast<std::uint16_t>(Chance(10) ? Pick({1, 9, 20}) : Between(2, 8));
    text << (big ? "MM" : "II") << " heap end " << heapEnd << ", " << entries << " entries";
    CiffBuilder builder;
    builder.BigEndian(big).HeapEnd(heapEnd).RootEntries(entries);
    if (Chance(30)) {
      const std::string mark = Pick({"ii", "IM", "M", ""}) + std::string("??");
      builder.Mark(mark);
      text << ", mark " << mark.substr(0, 2);
    }
    Bytes bytes = std::move(recycled_);
    builder.BuildInto(bytes);
    if (Chance(4)) AppendTrailer(bytes, heapEnd, text);
    AppendJunk(bytes, text);
    const std::size_t planted = Between(0, 4);
    for (std::size_t k = 0; k < planted; ++k) PlantPointer(bytes, big, text);
    const auto size = static_cast<std::int64_t>(bytes.size());
    MemoryStream stream(std::move(bytes));
    // Faults anywhere in a file past 16 MiB would make the plain scan crawl over all of it.
    AddFaults(stream, size, heapEnd < kFloor * 2, text);
    return {std::move(stream), text.str()};
  }

private:
  std::mt19937 random_;
  Bytes recycled_;

  std::uint64_t Between(std::uint64_t low, std::uint64_t high) {
    return std::uniform_int_distribution<std::uint64_t>(low, high)(random_);
  }
  bool Chance(std::uint64_t oneIn) { return Between(1, oneIn) == 1; }
  template <typename T>
  T Pick(std::initializer_list<T> values) {
    return *(values.begin() + Between(0, values.size() - 1));
  }
  static std::int64_t Length(const Bytes& bytes) { return static_cast<std::int64_t>(bytes.size()); }
  std::int64_t Around(std::int64_t center, std::int64_t spread) {
    return center - spread + static_cast<std::int64_t>(Between(0, 2 * static_cast<std::uint64_t>(spread)));
  }

  // Mostly near the scan floor, where every rule meets an edge; some near the boundaries of the
  // locator's blocks and of the ranges where a pointer's upper half changes.
  std::uint32_t HeapEnd() {
    // A few past 16 MiB, where the pointer's most significant byte is no longer zero.
    if (Chance(300)) return static_cast<std::uint32_t>(Around(std::int64_t{1} << 24, 300));
    switch (Between(0, 4)) {
      case 0: return static_cast<std::uint32_t>(Around(kFloor, 200));
      case 1: return static_cast<std::uint32_t>(Around(kFloor + 25000, 25000));
      case 2: return static_cast<std::uint32_t>(Around(11 << 16, 300));
      case 3: return static_cast<std::uint32_t>(Around(static_cast<std::int64_t>(Between(160, 185)) << 12, 8));
      default: return static_cast<std::uint32_t>(Between(200, kFloor));
    }
  }

  void AppendJunk(Bytes& bytes, std::ostringstream& text) {
    std::size_t length = Pick<std::size_t>({0, 1, 3, 4, 5, 60, 4096, 32768});
    if (Chance(2)) length = Between(0, 40000);
    if (Chance(20)) length = Between(40000, 140000);
    // Sizes right at the floors.
    if (Chance(8)) {
      length = static_cast<std::size_t>(std::max<std::int64_t>(0, Around(kFloor, 3) - Length(bytes)));
    }
    Bytes junk;
    switch (Between(0, 4)) {
      case 0: junk.assign(length, 0xFF); text << ", FF junk "; break;
      case 1: junk.assign(length, 0); text << ", zero junk "; break;
      case 2:
        junk = Noise(length, static_cast<std::uint32_t>(Between(1, 1u << 30)));
        text << ", noise junk ";
        break;
      case 3: {
        // A copy of the file's own end: its root directory and pointer again, shifted.
        junk.assign(bytes.end() - std::min<std::ptrdiff_t>(Length(bytes), 200), bytes.end());
        while (junk.size() < length) junk.insert(junk.end(), junk.begin(), junk.end());
        junk.resize(length);
        text << ", repeated-end junk ";
        break;
      }
      default:
        junk.assign(length, static_cast<unsigned char>(Between(0, 255)));
        text << ", constant junk ";
    }
    text << length;
    bytes.insert(bytes.end(), junk.begin(), junk.end());
  }

  void AppendTrailer(Bytes& bytes, std::uint32_t heapEnd, std::ostringstream& text) {
    const auto records = static_cast<std::uint32_t>(Pick<std::uint64_t>({0, 8, 468, Between(0, 40000)}));
    Bytes trailer = CanonOptionalTrailer(bytes, heapEnd, records);
    text << ", trailer of " << trailer.size();
    const std::size_t footer = trailer.size() - 64;
    const auto length = static_cast<std::uint32_t>(footer - 28);
    switch (Between(0, 8)) {
      case 0: trailer[Between(0, 19)] ^= 0x20; text << " (header signature broken)"; break;
      case 1: trailer[footer + Between(0, 19)] ^= 0x01; text << " (footer signature broken)"; break;
      case 2:
        PutU32(trailer, 24, length + static_cast<std::uint32_t>(Between(1, 9)), true);
        text << " (header length off)";
        break;
      case 3: PutU32(trailer, footer + 20, length - 1, true); text << " (footer length off)"; break;
      case 4: trailer[trailer.size() - Between(1, 4)] ^= 0x80; text << " (pointer copy off)"; break;
      case 5:
        trailer.resize(Between(0, trailer.size() - 1));
        text << " (cut to " << trailer.size() << ")";
        break;
      case 6:
        PutU32(trailer, 24, 0xFFFFFFF0u, true);
        PutU32(trailer, footer + 20, 0xFFFFFFF0u, true);
        text << " (huge length)";
        break;
      default: break;
    }
    bytes.insert(bytes.end(), trailer.begin(), trailer.end());
  }

  // A pointer that looks, or almost looks, like a heap end: at a random place, next to the end of
  // the file, or across a boundary where blocks or a pointer's upper half change.
  void PlantPointer(Bytes& bytes, bool big, std::ostringstream& text) {
    const std::int64_t size = Length(bytes);
    if (size < 200) return;
    std::int64_t position = 0;
    switch (Between(0, 3)) {
      case 0:
        position = static_cast<std::int64_t>(Between(std::min<std::int64_t>(kFloor - 200, size), size));
        break;
      case 1: position = size - static_cast<std::int64_t>(Between(0, 130)); break;
      case 2: position = Around(static_cast<std::int64_t>(Between(1, bytes.size() >> 12)) << 12, 6); break;
      default: position = Around(static_cast<std::int64_t>(Between(1, bytes.size() >> 16)) << 16, 130); break;
    }
    position = std::clamp<std::int64_t>(position, 100, size);
    if (Chance(2) && position >= 26 + 112) return PlantDirectory(bytes, static_cast<std::uint32_t>(position), big, text);
    const auto distance = static_cast<std::uint32_t>(Chance(2) ? 52 + 10 * Between(0, 6) : Between(40, 130));
    PutU32(bytes, static_cast<std::size_t>(position - 4), static_cast<std::uint32_t>(position) - distance, big);
    text << ", pointer at " << position << " back " << distance;
  }

  // A whole root directory ending at position, readable or with one flaw.
  void PlantDirectory(Bytes& bytes, std::uint32_t position, bool big, std::ostringstream& text) {
    const auto count = static_cast<std::uint16_t>(Between(2, 8));
    const std::size_t directory = PlantRootDirectory(bytes, position, count, big);
    const std::size_t entry = directory + 2 + 10 * Between(0, count - 1);
    const auto pointer = static_cast<std::uint32_t>(directory - 26);
    text << ", directory of " << count << " at " << position;
    switch (Between(0, 7)) {
      case 0: PutU16(bytes, directory, static_cast<std::uint16_t>(count + Pick({-1, 1})), big); text << " (count off)"; break;
      case 1: {
        const auto end = static_cast<std::uint32_t>(pointer + Pick<std::int64_t>({-1, 0, 1, 2}));
        PutU32(bytes, entry + 2, end, big);
        text << " (an entry ending at " << end << " of " << pointer << ")";
        break;
      }
      case 2: {
        const auto offset = static_cast<std::uint32_t>(Pick<std::uint64_t>({pointer, pointer + 1, 0xFFFFFFFFu}));
        PutU32(bytes, entry + 6, offset, big);
        PutU32(bytes, entry + 2, static_cast<std::uint32_t>(Between(0, 2)), big);
        text << " (an entry at " << offset << ")";
        break;
      }
      case 3: {
        const auto storage = static_cast<std::uint16_t>(Pick<std::uint64_t>({0x4000, 0x8000, 0xC000}));
        PutU16(bytes, entry, static_cast<std::uint16_t>(storage | 0x0006), big);
        PutU32(bytes, entry + 2, 0xFFFFFFFFu, big);
        text << " (storage " << storage << ")";
        break;
      }
      default: break;
    }
  }

  void AddFaults(MemoryStream& stream, std::int64_t size, bool anywhere, std::ostringstream& text) {
    const auto anyOffset = static_cast<std::int64_t>(Between(0, static_cast<std::uint64_t>(size)));
    const std::int64_t somewhere = !anywhere || Chance(3) ? Around(size, 70) : anyOffset;
    switch (Between(0, 5)) {
      case 0: stream.ReadableUpTo(somewhere); text << ", readable up to " << somewhere; break;
      case 1: stream.FailReadsFrom(somewhere); text << ", reads fail from " << somewhere; break;
      case 2: {
        const std::int64_t told = std::max<std::int64_t>(0, Around(size, 100));
        stream.ReportSize(told);
        text << ", size told " << told;
        break;
      }
      default: break;
    }
  }
};

TEST(TailLocatorDifferential, AgreesWithTheWholeBufferScanOnGeneratedFiles) {
  CaseMaker maker(20240607);
  Bytes wholeBuffer;
  int cut = 0;
  int notFound = 0;
  for (int n = 0; n < 3000; ++n) {
    Case made = maker.Make();
    const TailResult expected = ReferenceFindFileTail(made.stream, wholeBuffer);
    ASSERT_EQ(FindFileTail(made.stream), expected) << "case " << n << ": " << made.description;
    maker.Recycle(made.stream.TakeContents());
    cut += expected > 0;
    notFound += expected == kTailNotFound;
  }
  // The generated files must reach every outcome often enough to mean something.
  EXPECT_GT(cut, 600);
  EXPECT_GT(notFound, 600);
  EXPECT_GT(passedOver, 300);
}

}  // namespace
}  // namespace tailmend::test

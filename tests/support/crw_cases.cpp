#include "tests/support/crw_cases.h"

#include <algorithm>

namespace tailmend::test {

namespace {

constexpr std::uint32_t kFloor = 655360;

std::int64_t Length(const Bytes& bytes) { return static_cast<std::int64_t>(bytes.size()); }

}  // namespace

CrwCase CrwCaseMaker::Make() {
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
  if (Chance(12)) ChangeStart(bytes, text);
  if (Chance(4)) AppendTrailer(bytes, heapEnd, text);
  AppendJunk(bytes, big, text);
  const std::size_t planted = Between(0, 4);
  for (std::size_t k = 0; k < planted; ++k) PlantPointer(bytes, big, text);
  const auto size = static_cast<std::int64_t>(bytes.size());
  MemoryStream stream(std::move(bytes));
  // Faults anywhere in a file past 16 MiB would make the plain scan crawl over all of it.
  AddFaults(stream, size, heapEnd < kFloor * 2, text);
  return {std::move(stream), text.str()};
}


std::uint64_t CrwCaseMaker::Between(std::uint64_t low, std::uint64_t high) {
  return std::uniform_int_distribution<std::uint64_t>(low, high)(random_);
}
bool CrwCaseMaker::Chance(std::uint64_t oneIn) { return Between(1, oneIn) == 1; }
std::int64_t CrwCaseMaker::Around(std::int64_t center, std::int64_t spread) {
  return center - spread + static_cast<std::int64_t>(Between(0, 2 * static_cast<std::uint64_t>(spread)));
}

// Mostly near the scan floor, where every rule meets an edge; some near the boundaries of the
// pages, where the locator's windows start, and of the ranges where a pointer's upper half changes.
std::uint32_t CrwCaseMaker::HeapEnd() {
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

// What carvers save under a CRW name that is no CIFF file, or a CIFF file begun late or amiss.
void CrwCaseMaker::ChangeStart(Bytes& bytes, std::ostringstream& text) {
  const std::size_t prefix = static_cast<std::size_t>(Pick<std::uint64_t>({1, 512, Between(2, 70000)}));
  const auto flipped = static_cast<unsigned char>(1u << Between(0, 7));
  switch (Between(0, 6)) {
    case 0: std::copy_n("\xFF\xD8\xFF\xE1", 4, bytes.begin()); text << ", a JPEG's start"; break;
    case 1: std::copy_n(Pick({"II*", "MM\0*"}), 4, bytes.begin()); text << ", a TIFF's start"; break;
    case 2:
      std::fill_n(bytes.begin(), std::min(bytes.size(), prefix), 0);
      text << ", " << prefix << " zeros at the start";
      break;
    case 3: bytes[Between(2, 5)] ^= flipped; text << ", header length off"; break;
    case 4: bytes[Between(6, 13)] ^= flipped; text << ", header signature off"; break;
    default:
      bytes.insert(bytes.begin(), prefix, static_cast<unsigned char>(Pick<std::uint64_t>({0, 0xFF, 'I'})));
      text << ", " << prefix << " bytes before the header";
  }
}

void CrwCaseMaker::AppendJunk(Bytes& bytes, bool big, std::ostringstream& text) {
  std::size_t length = Pick<std::size_t>({0, 1, 3, 4, 5, 60, 4096, 32768});
  if (Chance(2)) length = Between(0, 40000);
  if (Chance(20)) length = Between(40000, 140000);
  // Across the end of the locator's first window (64 KiB), of its second's first piece or of its second.
  if (Chance(12)) length = static_cast<std::size_t>(Around(Pick<std::int64_t>({65536, 327680, 1114112}), 4200));
  // Sizes right at the floors.
  if (Chance(8)) {
    length = static_cast<std::size_t>(std::max<std::int64_t>(0, Around(kFloor, 3) - Length(bytes)));
  }
  Bytes junk;
  switch (Between(0, 5)) {
    case 0: junk.assign(length, 0xFF); text << ", FF junk "; break;
    case 5: {
      // A hostile file's: every fourth position passes the distance test. Now and then the file
      // ends with the pointer before one of them, as one that repeats its root pointer does.
      junk.assign(length, 0);
      for (std::size_t at = 4; at <= length; at += 4) {
        const auto position = static_cast<std::uint32_t>(bytes.size() + at);
        PutU32(junk, at - 4, position - static_cast<std::uint32_t>(52 + 10 * Between(0, 6)), big);
      }
      if (length >= 8 && Chance(3)) {
        std::copy_n(junk.begin() + static_cast<std::ptrdiff_t>(4 * Between(0, length / 4 - 2)), 4, junk.end() - 4);
      }
      text << ", passing junk ";
      break;
    }
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

void CrwCaseMaker::AppendTrailer(Bytes& bytes, std::uint32_t heapEnd, std::ostringstream& text) {
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
// the file, or across a boundary where windows or a pointer's upper half change.
void CrwCaseMaker::PlantPointer(Bytes& bytes, bool big, std::ostringstream& text) {
  const std::int64_t size = Length(bytes);
  if (size < 200) return;
  std::int64_t position = 0;
  switch (Between(0, 4)) {
    case 0:
      position = static_cast<std::int64_t>(Between(std::min<std::int64_t>(kFloor - 200, size), size));
      break;
    case 1: position = size - static_cast<std::int64_t>(Between(0, 130)); break;
    case 2: position = Around(static_cast<std::int64_t>(Between(1, bytes.size() >> 12)) << 12, 6); break;
    case 3: position = Around(static_cast<std::int64_t>(Between(1, bytes.size() >> 16)) << 16, 130); break;
    default: {
      // Where the locator's first or second window starts: positions whose pointer or root
      // directory lies in the bytes a window keeps of the one above it.
      const std::int64_t window = (size - 65536) / 4096 * 4096 - (Chance(2) ? 0 : 1 << 20);
      position = std::max<std::int64_t>(window, kFloor - 86) + Pick<std::int64_t>({85, 86, Around(47, 43)});
    }
  }
  position = std::clamp<std::int64_t>(position, 100, size);
  if (Chance(2) && position >= 26 + 112) return PlantDirectory(bytes, static_cast<std::uint32_t>(position), big, text);
  const auto distance = static_cast<std::uint32_t>(Chance(2) ? 52 + 10 * Between(0, 6) : Between(40, 130));
  PutU32(bytes, static_cast<std::size_t>(position - 4), static_cast<std::uint32_t>(position) - distance, big);
  text << ", pointer at " << position << " back " << distance;
}

// A whole root directory ending at position, readable or with one flaw.
void CrwCaseMaker::PlantDirectory(Bytes& bytes, std::uint32_t position, bool big, std::ostringstream& text) {
  const auto count = static_cast<std::uint16_t>(Between(2, 8));
  const std::size_t directory = PlantRootDirectory(bytes, position, count, big);
  const std::size_t entry = directory + 2 + 10 * Between(0, count - 1);
  const auto pointer = static_cast<std::uint32_t>(directory - 26);
  text << ", directory of " << count << " at " << position;
  switch (Between(0, 7)) {
    case 0:
      PutU16(bytes, directory, static_cast<std::uint16_t>(count + Pick({-1, 1})), big);
      text << " (count off)";
      break;
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

void CrwCaseMaker::AddFaults(MemoryStream& stream, std::int64_t size, bool anywhere, std::ostringstream& text) {
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

}  // namespace tailmend::test

#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <thread>

#include "engine/file_verdict.h"
#include "engine/tail_locator.h"
#include "tests/support/ciff_builder.h"
#include "tests/support/memory_stream.h"

namespace tailmend::test {
namespace {

TailResult Locate(Bytes bytes) {
  MemoryStream stream(std::move(bytes));
  return FindFileTail(stream);
}

// Marks a spurious heap end at position inside image data: the four bytes before it point back
// `distance` bytes.
void PlantHeapEnd(Bytes& bytes, std::uint32_t position, std::uint32_t distance, bool big = false) {
  PutU32(bytes, position - 4, position - distance, big);
}

TEST(TailLocatorSizeAndMark, RejectsFilesTooSmallToBeCrw) {
  EXPECT_EQ(Locate(Bytes(102399, 'I')), kTailInvalidFile);
  EXPECT_EQ(Locate(CiffBuilder().HeapEnd(102400).Build()), kTailNotFound);
}

TEST(TailLocatorSizeAndMark, FilesBelowTheScanFloorHaveNoTail) {
  Bytes bytes = CiffBuilder().HeapEnd(400000).Junk(1000).Build();
  EXPECT_EQ(Locate(bytes), kTailNotFound);
  bytes = CiffBuilder().HeapEnd(600000).Junk(kScanFloor - 600000 - 1).Build();
  EXPECT_EQ(Locate(bytes), kTailNotFound);
}

TEST(TailLocatorSizeAndMark, AcceptsOnlyExactlyIIorMM) {
  for (const std::string mark : {"ii", "mm", "IM", "MI", "  "}) {
    EXPECT_EQ(Locate(CiffBuilder().Mark(mark).Junk(4096).Build()), kTailInvalidFile) << mark;
  }
}

TEST(TailLocatorSizeAndMark, FilesOf2GiBOrMoreAreInvalidWithoutBeingRead) {
  MemoryStream stream(Bytes{'I', 'I'});
  stream.ReportSize(std::int64_t{1} << 31);
  EXPECT_EQ(FindFileTail(stream), kTailInvalidFile);
  EXPECT_EQ(stream.BytesRead(), 0u);
}

TEST(TailLocatorFindsHeapEnd, LittleEndianRootOfFourEntries) {
  const Bytes bytes = CiffBuilder().HeapEnd(700000).RootEntries(4).Junk(300000).Build();
  EXPECT_EQ(Locate(bytes), 700000);
}

// At the highest position of the second window, whose pointer the window keeps of the first, on a
// thread of its own, so that the memory the windows share grows with them.
TEST(TailLocatorFindsHeapEnd, BigEndianRootOfTwoEntries) {
  const Bytes bytes = CiffBuilder().BigEndian().HeapEnd(2003029).RootEntries(2).Junk(66000).Build();
  TailResult found = 0;
  std::thread([&] { found = Locate(bytes); }).join();
  EXPECT_EQ(found, 2003029);
}

TEST(TailLocatorFindsHeapEnd, EveryRootSizeFromTwoToEightEntries) {
  for (std::uint16_t n = 2; n <= 8; ++n) {
    EXPECT_EQ(Locate(CiffBuilder().RootEntries(n).HeapEnd(700000).Junk(64).Build()), 700000) << n;
  }
}

TEST(TailLocatorFindsHeapEnd, OnlyTheSevenRootDistancesPass) {
  // 52, 62, ..., 112 are a header and a root of 2..8 entries; nothing between or around them is.
  // A distance that a root directory can have gets one; others are planted over a root of three.
  for (const bool big : {false, true}) {
    for (std::uint32_t distance = 40; distance <= 130; ++distance) {
      const bool directorySized = distance >= 42 && distance % 10 == 2;
      const auto entries = static_cast<std::uint16_t>(directorySized ? (distance - 32) / 10 : 3);
      Bytes bytes = CiffBuilder().BigEndian(big).HeapEnd(700000).RootEntries(entries).Junk(300).Build();
      if (!directorySized) PlantHeapEnd(bytes, 700000, distance, big);
      const bool rootSized = distance >= 52 && distance <= 112 && distance % 10 == 2;
      EXPECT_EQ(Locate(bytes), rootSized ? 700000 : kTailNotFound) << distance << (big ? " MM" : " II");
    }
  }
}

TEST(TailLocatorFindsHeapEnd, RootsOutsideTwoToEightEntriesAreNotRecognised) {
  for (std::uint16_t n : {1, 9}) {
    EXPECT_EQ(Locate(CiffBuilder().RootEntries(n).HeapEnd(700000).Junk(64).Build()), kTailNotFound) << n;
  }
}

TEST(TailLocatorFindsHeapEnd, HighestPassingPositionWins) {
  Bytes bytes = CiffBuilder().HeapEnd(700000).Junk(20000).Build();
  PlantRootDirectory(bytes, 690000, 4);
  EXPECT_EQ(Locate(bytes), 700000);
  PlantRootDirectory(bytes, 710000, 3);  // inside the junk
  EXPECT_EQ(Locate(bytes), 710000);
}

// A second heap end in the junk, readable but for one flaw of its root directory.
struct Flaw {
  const char* what;
  void (*apply)(Bytes& bytes, std::size_t directory, bool big);
};

const Flaw kRootFlaws[] = {
    {"one entry fewer: it would not end at the position",
     [](Bytes& b, std::size_t d, bool big) { PutU16(b, d, 2, big); }},
    {"one entry more", [](Bytes& b, std::size_t d, bool big) { PutU16(b, d, 4, big); }},
    {"no entries", [](Bytes& b, std::size_t d, bool big) { PutU16(b, d, 0, big); }},
    {"an entry ending one byte past the directory",
     [](Bytes& b, std::size_t d, bool big) { PutU32(b, d + 2 + 10 + 2, static_cast<std::uint32_t>(d - 26 + 1), big); }},
    {"an entry starting past the heap",
     [](Bytes& b, std::size_t d, bool big) { PutU32(b, d + 2 + 20 + 6, 0xFFFFFFF0u, big); }},
    {"an entry stored nowhere", [](Bytes& b, std::size_t d, bool big) { PutU16(b, d + 2, 0x8006, big); }},
};

TEST(TailLocatorReadableRoot, ACandidateWhoseRootDirectoryCannotBeReadIsPassedOver) {
  for (const bool big : {false, true}) {
    Bytes readable = CiffBuilder().BigEndian(big).HeapEnd(700000).Junk(20000).Build();
    const std::size_t directory = PlantRootDirectory(readable, 710000, 3, big);
    ASSERT_EQ(Locate(readable), 710000) << (big ? "MM" : "II");
    for (const Flaw& flaw : kRootFlaws) {
      Bytes bytes = readable;
      flaw.apply(bytes, directory, big);
      EXPECT_EQ(Locate(bytes), 700000) << flaw.what << (big ? " MM" : " II");
    }
  }
}

TEST(TailLocatorReadableRoot, TheScanGoesOnPastSeveralInTheSameBlockAndAcrossBlocks) {
  Bytes bytes = CiffBuilder().HeapEnd(700000).Junk(200000).Build();
  for (const std::uint32_t position : {890000u, 889900u, 750000u, 700100u}) {
    const std::size_t directory = PlantRootDirectory(bytes, position, 3);
    PutU16(bytes, directory, 0);
  }
  EXPECT_EQ(Locate(bytes), 700000);
  // With the real heap end unreadable too, there is nothing to cut.
  PutU16(bytes, CiffBuilder().HeapEnd(700000).RootDirectoryAt(), 7);
  EXPECT_EQ(Locate(bytes), kTailNotFound);
}

TEST(TailLocatorReadableRoot, EveryEntryOfTheRootIsChecked) {
  for (const std::uint16_t count : {2, 8}) {
    for (std::uint16_t k = 0; k < count; ++k) {
      Bytes bytes = CiffBuilder().HeapEnd(700000).Junk(20000).Build();
      const std::size_t directory = PlantRootDirectory(bytes, 710000, count);
      PutU32(bytes, directory + 2 + 10 * k + 2, 0x7FFFFFFF);
      EXPECT_EQ(Locate(bytes), 700000) << count << " entries, entry " << k;
    }
  }
}

TEST(TailLocatorReadableRoot, AnUnreadableCandidateStillKeepsAFileThatEndsWithItsPointer) {
  // As before: the file's end repeats the pointer before the highest plausible position.
  Bytes bytes = CiffBuilder().HeapEnd(700000).Junk(20000).Build();
  const std::size_t directory = PlantRootDirectory(bytes, 710000, 3);
  PutU16(bytes, directory, 0);
  std::copy(bytes.begin() + 710000 - 4, bytes.begin() + 710000, bytes.end() - 4);
  EXPECT_EQ(Locate(bytes), kTailNotFound);
}

TEST(TailLocatorReadableRoot, ATrailerWithAPlausiblePointerInsideItIsKept) {
  // Before, the highest plausible position was cut at whatever its directory held, here inside
  // the recipe records: the trailer's end would have gone.
  Bytes bytes = CiffBuilder().HeapEnd(700000).Build();
  const Bytes trailer = CanonOptionalTrailer(bytes, 700000, 20000);
  bytes.insert(bytes.end(), trailer.begin(), trailer.end());
  PlantHeapEnd(bytes, 710000, 62);
  EXPECT_EQ(Locate(bytes), kTailNotFound);
}

TEST(TailLocatorFindsHeapEnd, ScanFloorIsTheLowestPositionTested) {
  Bytes atFloor = CiffBuilder().HeapEnd(kScanFloor).Junk(100).Build();
  EXPECT_EQ(Locate(atFloor), kScanFloor);
  Bytes belowFloor = CiffBuilder().HeapEnd(kScanFloor - 1).Junk(100).Build();
  EXPECT_EQ(Locate(belowFloor), kTailNotFound);
}

TEST(TailLocatorFindsHeapEnd, AStoredValueAboveThePositionNeverPasses) {
  // A pointer 72 bytes ahead of its position is as far away as a real one 72 bytes back, but
  // position - value wraps round to a huge distance.
  Bytes bytes = CiffBuilder().HeapEnd(700000).Junk(20000).Build();
  PutU32(bytes, 700000 - 4, 700000 + 72);
  PutU32(bytes, 710000 - 4, 710000 + 52);
  EXPECT_EQ(Locate(bytes), kTailNotFound);
}

TEST(TailLocatorHealthyFiles, AFileEndingAtItsHeapEndIsNeverCut) {
  // Image data that happens to look like a heap end must not get a complete file cut.
  Bytes bytes = CiffBuilder().HeapEnd(900000).Build();
  PlantHeapEnd(bytes, 850000, 82);
  EXPECT_EQ(Locate(bytes), kTailNotFound);
  bytes = CiffBuilder().BigEndian().HeapEnd(900000).RootEntries(8).Build();
  PlantHeapEnd(bytes, 850000, 52, true);
  EXPECT_EQ(Locate(bytes), kTailNotFound);
}

TEST(TailLocatorHealthyFiles, APlausiblePointerAtTheVeryEndIsEnoughEvenWithADamagedCount) {
  Bytes bytes = CiffBuilder().HeapEnd(900000).RootEntries(3).Build();
  PutU16(bytes, 900000 - 4 - 30 - 2, 0xFFFF);
  PlantHeapEnd(bytes, 850000, 82);
  EXPECT_EQ(Locate(bytes), kTailNotFound);
}

TEST(TailLocatorHealthyFiles, ALargeRootDirectoryEndingAtTheFileEndIsHealthy) {
  // Twenty entries are beyond the distance test, but the directory still closes the file exactly.
  Bytes bytes = CiffBuilder().HeapEnd(900000).RootEntries(20).Build();
  PlantHeapEnd(bytes, 850000, 92);
  EXPECT_EQ(Locate(bytes), kTailNotFound);
}

TEST(TailLocatorHealthyFiles, ALastPointerCountsOnlyWhenItsDirectoryClosesTheFile) {
  // The last four bytes point into the junk, 506 bytes before the end: a directory of 50 entries
  // closes the file there, fewer end short of it, more run past it.
  for (const std::uint16_t count : {0, 49, 50, 51, 0xFFFF}) {
    Bytes bytes = CiffBuilder().HeapEnd(700000).Junk(1000, 0xFF).Build();
    const std::size_t directory = bytes.size() - 506;
    PutU16(bytes, directory, count);
    PutU32(bytes, bytes.size() - 4, static_cast<std::uint32_t>(directory - 26));
    EXPECT_EQ(Locate(bytes), count == 50 ? kTailNotFound : 700000) << count;
  }
}

TEST(TailLocatorHealthyFiles, ACanonTrailerWithNothingAfterItIsKept) {
  for (const bool big : {false, true}) {
    Bytes bytes = CiffBuilder().BigEndian(big).HeapEnd(700000).Build();
    const Bytes trailer = CanonOptionalTrailer(bytes, 700000);
    bytes.insert(bytes.end(), trailer.begin(), trailer.end());
    EXPECT_EQ(Locate(bytes), kTailNotFound);
  }
}

TEST(TailLocatorHealthyFiles, JunkEndingInAnUnrelatedPointerIsStillCut) {
  Bytes bytes = CiffBuilder().HeapEnd(700000).Junk(560, 0).Build();
  PutU32(bytes, bytes.size() - 4, 12345);
  EXPECT_EQ(Locate(bytes), 700000);
}

TEST(TailLocatorHealthyFiles, ATruncatedDirectoryAtTheEndDoesNotReadPastTheFile) {
  Bytes bytes = CiffBuilder().HeapEnd(700000).Junk(100).Build();
  PutU32(bytes, bytes.size() - 4, static_cast<std::uint32_t>(bytes.size() - 26 - 1));
  EXPECT_EQ(Locate(bytes), 700000);
}

// The heap, Canon's recipe trailer after it, then the junk.
Bytes WithTrailerAndJunk(const Bytes& heap, std::uint32_t recordsLength, const Bytes& junk) {
  Bytes bytes = heap;
  const Bytes trailer = CanonOptionalTrailer(heap, static_cast<std::uint32_t>(heap.size()), recordsLength);
  bytes.insert(bytes.end(), trailer.begin(), trailer.end());
  bytes.insert(bytes.end(), junk.begin(), junk.end());
  return bytes;
}

TEST(TailLocatorTrailer, JunkAfterACompleteTrailerGoesAndTheTrailerStays) {
  for (const bool big : {false, true}) {
    for (const std::uint32_t records : {0u, 468u, 100000u}) {
      const Bytes heap = CiffBuilder().BigEndian(big).HeapEnd(700000).Build();
      const Bytes original = WithTrailerAndJunk(heap, records, {});
      MemoryStream stream(WithTrailerAndJunk(heap, records, Bytes(5000, 0xFF)));
      const TailResult tail = FindFileTail(stream);
      ASSERT_EQ(tail, static_cast<TailResult>(original.size())) << records << (big ? " MM" : " II");
      stream.SetEnd(tail);
      EXPECT_EQ(stream.Contents(), original);
    }
  }
}

TEST(TailLocatorTrailer, AnythingLessThanACompleteTrailerIsCutAtTheHeapEnd) {
  const Bytes heap = CiffBuilder().HeapEnd(700000).Build();
  const std::size_t footer = 700000 + 28 + 468;
  const auto broken = [&](auto&& breakIt) {
    Bytes bytes = WithTrailerAndJunk(heap, 468, Bytes(5000, 0xFF));
    breakIt(bytes);
    return Locate(bytes);
  };
  EXPECT_EQ(broken([](Bytes& b) { b[700000 + 6] = 'o'; }), 700000) << "header signature";
  EXPECT_EQ(broken([](Bytes& b) { b[700000 + 19] = ' '; }), 700000) << "header signature's zero";
  EXPECT_EQ(broken([&](Bytes& b) { b[footer + 3] = 'o'; }), 700000) << "footer signature";
  EXPECT_EQ(broken([](Bytes& b) { PutU32(b, 700000 + 24, 467, true); }), 700000) << "header length";
  EXPECT_EQ(broken([&](Bytes& b) { PutU32(b, footer + 20, 469, true); }), 700000) << "footer length";
  EXPECT_EQ(broken([&](Bytes& b) { b[footer + 62] ^= 1; }), 700000) << "repeated pointer";
  // A trailer that the end of the file cuts short.
  Bytes cutShort = WithTrailerAndJunk(heap, 468, {});
  cutShort.resize(cutShort.size() - 1);
  EXPECT_EQ(Locate(cutShort), 700000);
}

// The end of the file is read forwards in windows that grow downwards, each with one read: the last
// 64 KiB (asked for before the mark is read, so that the disk fetches both at once), the 1 MiB
// below, then twice as much each time up to 2 MiB; down to the root directory of the heap end, or
// to what a position at the scan floor needs, and no further.
TEST(TailLocatorReads, TheEndIsReadForwardsInWindowsThatGrowDownwards) {
  constexpr std::int64_t kPage = 4096;
  constexpr std::int64_t kLowest = kScanFloor - 86;
  for (const auto& [heapEnd, junk] : {std::pair<std::int64_t, std::int64_t>{7 << 20, 0}, {7 << 20, 100},
                                      {7 << 20, 70000}, {7 << 20, 1 << 20}, {7 << 20, 9 << 20}, {kScanFloor, 300000}}) {
    MemoryStream stream(CiffBuilder().HeapEnd(static_cast<std::uint32_t>(heapEnd)).Junk(junk).Build());
    stream.KeepAccesses();
    stream.TakeNoHints();  // with hints, windows are read in pieces (below)
    ASSERT_EQ(FindFileTail(stream), junk == 0 ? kTailNotFound : heapEnd) << junk;
    ASSERT_TRUE(stream.Accesses().front().hint) << junk;
    EXPECT_EQ(stream.Accesses().front().offset, (heapEnd + junk - 65536) / kPage * kPage) << junk;
    std::int64_t windowEnd = heapEnd + junk;
    std::int64_t window = 65536;
    for (const MemoryStream::Access& access : std::span(stream.Accesses()).subspan(1)) {
      EXPECT_FALSE(access.hint) << junk << ": only the first window is asked for";
      if (access.count < kPage) continue;
      EXPECT_EQ(access.offset + access.count, windowEnd) << junk << ": windows follow each other downwards";
      if (access.offset != kLowest) {
        EXPECT_EQ(access.offset % kPage, 0) << junk << ": windows start on pages";
        EXPECT_GE(access.count, window) << junk;
        EXPECT_LE(access.count, window + (window == 65536 ? kPage - 1 : 0)) << junk;
      }
      windowEnd = access.offset;
      window = std::min<std::int64_t>(window == 65536 ? 1 << 20 : 2 * window, 2 << 20);
    }
    EXPECT_LE(windowEnd, heapEnd - 86) << junk << ": the heap end's root directory was read";
    EXPECT_GE(windowEnd, std::max(kLowest, heapEnd - 86 - window)) << junk << ": no window more than needed";
  }
}

// Where the system takes hints, the windows below the first are asked for in pieces of 256 KiB, the
// top one first, and read a piece at a time as asked for.
TEST(TailLocatorReads, WindowsBelowTheFirstAreAskedForAndReadInPieces) {
  MemoryStream stream(CiffBuilder().HeapEnd(7 << 20).Junk(9 << 20).Build());
  stream.KeepAccesses();
  ASSERT_EQ(FindFileTail(stream), 7 << 20);
  std::vector<MemoryStream::Access> asked;
  std::size_t read = 0;
  for (const MemoryStream::Access& access : stream.Accesses()) {
    if (access.hint) {
      EXPECT_EQ(access.offset + access.count, asked.empty() ? 16 << 20 : asked.back().offset);
      EXPECT_LE(access.count, 256 << 10);
      asked.push_back(access);
    } else if (access.count >= 4096) {  // not the mark
      ASSERT_LT(read, asked.size());
      EXPECT_EQ(std::pair(access.offset, access.count), std::pair(asked[read].offset, asked[read].count));
      ++read;
    }
  }
  EXPECT_GT(asked.back().offset, (7 << 20) - 86 - (2 << 20)) << "no more asked for than the window needs";
}

// The hostile file: above a heap that ends below the scan floor, junk in which every fourth position
// passes the distance test, none with a root directory a reader can read. Each position is passed
// over in memory, with no read of its own, by the scan and by the verdict's look below the floor.
TEST(TailLocatorReads, PositionsPassedOverCostNoReadsOfTheirOwn) {
  for (const bool directories : {false, true}) {
    Bytes bytes = CiffBuilder().HeapEnd(600000).Junk(3 << 20, 0).Build();
    for (std::uint32_t position = 600004; position + 4 < bytes.size(); position += 4) {
      PutU32(bytes, position - 4, position - 52);
    }
    // Now and then a root directory of the size the distance says, but stored nowhere.
    for (std::uint32_t position = 600032; directories && position + 4 < bytes.size(); position += 32) {
      PutU16(bytes, PlantRootDirectory(bytes, position, 2) + 2, 0x8006);
    }
    MemoryStream stream(bytes);
    stream.KeepAccesses();
    const FileVerdict verdict = JudgeFile(stream);
    EXPECT_EQ(verdict.tail, kTailNotFound) << directories;
    EXPECT_EQ(verdict.missingEnd, MissingEnd::BelowScanFloor) << directories;
    EXPECT_LE(stream.Accesses().size(), 30u) << directories;  // a hint and a read per piece of 256 KiB
  }
}

// Below junk in which every fourth position passes the distance test, a heap end is still found
// when its root directory's count is the only small number near it: entries stored in themselves,
// with no zero byte, so that nothing else there looks like a count.
TEST(TailLocatorReads, AHeapEndBelowPassingJunkIsFoundByItsCountAlone) {
  for (const bool big : {false, true}) {
    for (const std::uint16_t count : {2, 8}) {
      const std::vector<CiffEntry> root(count, Value(0x58FF, Bytes(8, 0xFF)));
      Bytes bytes = CiffBuilder().BigEndian(big).HeapEnd(800000).Root(root).Junk(200000, 0).Build();
      for (std::uint32_t position = 800004; position < bytes.size(); position += 4) {
        PlantHeapEnd(bytes, position, 52 + 10 * (position % 7), big);
      }
      EXPECT_EQ(Locate(bytes), 800000) << big << count;
    }
  }
}

TEST(TailLocatorReads, AShortReadLeavesTheRestZero) {
  MemoryStream stream(CiffBuilder().HeapEnd(700000).Junk(1000).Build());
  stream.ReadableUpTo(650000);  // the heap end is never seen
  EXPECT_EQ(FindFileTail(stream), kTailNotFound);
}

TEST(TailLocatorReads, AReadThatDeliversNothingLeavesNoMark) {
  MemoryStream stream(CiffBuilder().HeapEnd(700000).Junk(1000).Build());
  stream.ReadableUpTo(0);
  EXPECT_EQ(FindFileTail(stream), kTailInvalidFile);
}

// Bytes the system failed to read are unknown: taken as zeros, a failure at the file's end would
// hide the pointer that marks a healthy file, and the scan would cut at a spurious position.
TEST(TailLocatorReads, AFailingReadIsAnUnknownErrorNeverACut) {
  Bytes healthy = CiffBuilder().HeapEnd(900000).Build();
  PlantHeapEnd(healthy, 850000, 82);
  for (const std::int64_t failFrom : {std::int64_t{0}, std::int64_t{899998}, std::int64_t{860000}}) {
    MemoryStream stream(healthy);
    stream.FailReadsFrom(failFrom);
    EXPECT_EQ(FindFileTail(stream), kTailUnknownError) << failFrom;
  }
  MemoryStream damaged(CiffBuilder().HeapEnd(700000).Junk(100000).Build());
  damaged.FailReadsFrom(750000);
  EXPECT_EQ(FindFileTail(damaged), kTailUnknownError) << "inside the junk";
}

TEST(TailLocatorReads, AFailureToTellTheSizeIsAnUnknownError) {
  MemoryStream stream(CiffBuilder().Build());
  stream.FailSize();
  EXPECT_EQ(FindFileTail(stream), kTailUnknownError);
}

TEST(TailLocatorReads, LeavesTheContentUnchanged) {
  const Bytes bytes = CiffBuilder().HeapEnd(700000).Junk(1000).Build();
  MemoryStream stream(bytes);
  EXPECT_EQ(FindFileTail(stream), 700000);
  EXPECT_EQ(stream.Contents(), bytes);
}

}  // namespace
}  // namespace tailmend::test

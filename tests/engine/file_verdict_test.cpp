#include <gtest/gtest.h>

#include <map>
#include <utility>

#include "engine/file_verdict.h"
#include "engine/tail_locator.h"
#include "tests/support/ciff_builder.h"
#include "tests/support/crw_cases.h"
#include "tests/support/memory_stream.h"

namespace tailmend::test {
namespace {

constexpr std::uint32_t kHeapEnd = 700000;

FileVerdict Judge(Bytes bytes) {
  MemoryStream stream(std::move(bytes));
  return JudgeFile(stream);
}

Bytes WithTrailer(Bytes heap, std::size_t junk = 0) {
  const Bytes trailer = CanonOptionalTrailer(heap, static_cast<std::uint32_t>(heap.size()));
  heap.insert(heap.end(), trailer.begin(), trailer.end());
  heap.insert(heap.end(), junk, 0xFF);
  return heap;
}

TEST(FileVerdictRepair, ACameraFileWithJunkIsRepairableAtItsHeapEnd) {
  for (const bool big : {false, true}) {
    const FileVerdict verdict = Judge(CiffBuilder().BigEndian(big).HeapEnd(kHeapEnd).Junk(5000).Build());
    EXPECT_EQ(verdict.verdict, Verdict::Repairable);
    EXPECT_EQ(verdict.tail, static_cast<TailResult>(kHeapEnd));
    EXPECT_EQ(verdict.size, kHeapEnd + 5000);
    EXPECT_EQ(verdict.junk, 5000u);
    EXPECT_FALSE(verdict.trailerKept);
    EXPECT_EQ(verdict.damage, std::nullopt);
    EXPECT_EQ(verdict.reason, UnrepairableReason::None);
    EXPECT_EQ(verdict.originalFileName, "CRW_0042.CRW");
    EXPECT_EQ(verdict.captureTime, kSampleCaptureTime);
  }
}

TEST(FileVerdictRepair, JunkAfterARecipeTrailerIsCutAndTheTrailerKept) {
  const Bytes heap = CiffBuilder().HeapEnd(kHeapEnd).Build();
  const FileVerdict verdict = Judge(WithTrailer(heap, 3000));
  EXPECT_EQ(verdict.verdict, Verdict::Repairable);
  EXPECT_EQ(verdict.tail, static_cast<TailResult>(WithTrailer(heap).size()));
  EXPECT_EQ(verdict.junk, 3000u);
  EXPECT_TRUE(verdict.trailerKept);
}

TEST(FileVerdictRepair, ABrokenPreviewIsHeapDamageButTheCutIsStillMade) {
  Bytes jpeg = Jpeg(2000, 1);
  jpeg[jpeg.size() - 2] = 0;
  const std::vector<CiffEntry> root = {ImageData(), Value(0x2007, jpeg), ImageProperties()};
  const FileVerdict verdict = Judge(CiffBuilder().HeapEnd(kHeapEnd).Root(root).Junk(100).Build());
  EXPECT_EQ(verdict.verdict, Verdict::HeapDamaged);
  EXPECT_EQ(verdict.tail, static_cast<TailResult>(kHeapEnd));
  EXPECT_EQ(verdict.junk, 100u);
  ASSERT_TRUE(verdict.damage);
  EXPECT_EQ(verdict.damage->fault, HeapFault::PreviewEnd);
  EXPECT_EQ(std::vector<std::uint16_t>(verdict.damage->Tags().begin(), verdict.damage->Tags().end()),
            std::vector<std::uint16_t>{0x2007});
  EXPECT_EQ(verdict.originalFileName, "CRW_0042.CRW") << "what the heap holds is still read";
}

TEST(FileVerdictHealthy, AFileEndingAtItsHeapIsHealthy) {
  const FileVerdict verdict = Judge(CiffBuilder().HeapEnd(kHeapEnd).Build());
  EXPECT_EQ(verdict.verdict, Verdict::Healthy);
  EXPECT_EQ(verdict.tail, kTailNotFound);
  EXPECT_EQ(verdict.junk, 0u);
  EXPECT_FALSE(verdict.trailerKept);
  EXPECT_EQ(verdict.originalFileName, "CRW_0042.CRW");
}

TEST(FileVerdictHealthy, AFileEndingWithItsRecipeTrailerIsHealthyWithTheTrailer) {
  const FileVerdict verdict = Judge(WithTrailer(CiffBuilder().HeapEnd(kHeapEnd).Build()));
  EXPECT_EQ(verdict.verdict, Verdict::Healthy);
  EXPECT_EQ(verdict.tail, kTailNotFound);
  EXPECT_TRUE(verdict.trailerKept);
  // Only the root pointer repeated at the end, without a trailer around it.
  Bytes copied = CiffBuilder().HeapEnd(kHeapEnd).Junk(1000, 0).Build();
  std::copy(copied.begin() + kHeapEnd - 4, copied.begin() + kHeapEnd, copied.end() - 4);
  const FileVerdict copiedVerdict = Judge(copied);
  EXPECT_EQ(copiedVerdict.verdict, Verdict::Healthy);
  EXPECT_FALSE(copiedVerdict.trailerKept);
}

TEST(FileVerdictHealthy, AHealthyFileWithABrokenSubHeapIsHeapDamaged) {
  CiffEntry properties = ImageProperties();
  properties.children.back().count = 200;
  const FileVerdict verdict =
      Judge(CiffBuilder().HeapEnd(kHeapEnd).Root({ImageData(), PreviewJpeg(), properties}).Build());
  EXPECT_EQ(verdict.verdict, Verdict::HeapDamaged);
  EXPECT_EQ(verdict.tail, kTailNotFound);
  EXPECT_EQ(verdict.damage->fault, HeapFault::EntryCount);
}

TEST(FileVerdictHealthy, ARootDirectoryThatDoesNotCloseTheFileIsHeapDamage) {
  // The last pointer is a root's distance back, so the file counts as readable as it stands,
  // however its count reads.
  const FileVerdict verdict = Judge(CiffBuilder().HeapEnd(kHeapEnd).RootCount(0xFFFF).Build());
  EXPECT_EQ(verdict.verdict, Verdict::HeapDamaged);
  EXPECT_EQ(verdict.tail, kTailNotFound);
  EXPECT_EQ(verdict.damage->fault, HeapFault::EntryCount);
  EXPECT_TRUE(verdict.damage->Tags().empty());
}

TEST(FileVerdictHealthy, ASmallFileEndingAtItsHeapIsHealthyBelowTheScanFloor) {
  const FileVerdict healthy = Judge(CiffBuilder().HeapEnd(300000).Build());
  EXPECT_EQ(healthy.verdict, Verdict::Healthy);
  EXPECT_EQ(healthy.tail, kTailNotFound);
  EXPECT_EQ(healthy.reason, UnrepairableReason::None);
  EXPECT_EQ(healthy.missingEnd, MissingEnd::None);
  const FileVerdict withJunk = Judge(CiffBuilder().HeapEnd(300000).Junk(100).Build());
  EXPECT_EQ(withJunk.verdict, Verdict::NotRepairable);
  EXPECT_EQ(withJunk.reason, UnrepairableReason::NoHeapEnd);
  EXPECT_EQ(withJunk.missingEnd, MissingEnd::BelowScanFloor);
}

TEST(FileVerdictNotRepairable, TooSmallAndTooLarge) {
  const FileVerdict small = Judge(Bytes(102399, 'I'));
  EXPECT_EQ(small.verdict, Verdict::NotRepairable);
  EXPECT_EQ(small.reason, UnrepairableReason::TooSmall);
  EXPECT_EQ(small.tail, kTailInvalidFile);
  EXPECT_EQ(small.size, 102399u);
  MemoryStream huge(Bytes{'I', 'I'});
  huge.ReportSize(std::int64_t{1} << 31);
  const FileVerdict large = JudgeFile(huge);
  EXPECT_EQ(large.reason, UnrepairableReason::TooLarge);
  EXPECT_EQ(large.tail, kTailInvalidFile);
  EXPECT_EQ(Judge(Bytes{}).size, 0u) << "an empty file's size is told";
  EXPECT_EQ(huge.BytesRead(), 0u);
}

Bytes StartingWith(Bytes start, std::size_t size = 800000) {
  Bytes bytes = Noise(size, 7);
  std::copy(start.begin(), start.end(), bytes.begin());
  return bytes;
}

TEST(FileVerdictNotRepairable, WhatAFileWithoutACiffHeaderLooksLike) {
  const std::pair<Bytes, Lookalike> cases[] = {
      {StartingWith({0xFF, 0xD8, 0xFF, 0xE1}), Lookalike::Jpeg},
      {StartingWith({'I', 'I', '*', 0, 8, 0, 0, 0, 'C', 'R'}), Lookalike::TiffRaw},
      {StartingWith({'M', 'M', 0, '*'}), Lookalike::TiffRaw},
      {Bytes(800000, 0), Lookalike::Zeros},
      {Bytes(102400, 0), Lookalike::Zeros},
      {StartingWith(Bytes(70000, 0)), Lookalike::Unknown},
      {StartingWith({0xFF, 0xD8, 0x00}), Lookalike::Unknown},
      {StartingWith({'I', 'I', '+', 0}), Lookalike::Unknown},
      {CiffBuilder().Mark("ii").Junk(100).Build(), Lookalike::Unknown},
  };
  for (const auto& [bytes, lookalike] : cases) {
    const FileVerdict verdict = Judge(bytes);
    EXPECT_EQ(verdict.verdict, Verdict::NotRepairable);
    EXPECT_EQ(verdict.reason, UnrepairableReason::NoCiffHeader);
    EXPECT_EQ(verdict.lookalike, lookalike) << StableName(lookalike);
    EXPECT_EQ(verdict.tail, kTailInvalidFile);
  }
  // Zeros at both ends but something between.
  Bytes middle(800000, 0);
  middle[400000] = 1;
  EXPECT_EQ(Judge(middle).lookalike, Lookalike::Zeros) << "only the ends are read";
  middle[799999] = 1;
  EXPECT_EQ(Judge(middle).lookalike, Lookalike::Unknown);
}

TEST(FileVerdictNotRepairable, ACiffHeaderWithBytesBeforeItIsNamedWithItsOffset) {
  for (const bool big : {false, true}) {
    for (const std::uint32_t before : {1u, 512u, kHeaderSearchWindow}) {
      Bytes bytes(before, 0);
      const Bytes crw = CiffBuilder().BigEndian(big).HeapEnd(kHeapEnd).Junk(100).Build();
      bytes.insert(bytes.end(), crw.begin(), crw.end());
      const FileVerdict verdict = Judge(bytes);
      EXPECT_EQ(verdict.verdict, Verdict::NotRepairable);
      EXPECT_EQ(verdict.reason, UnrepairableReason::HeaderNotAtStart) << before;
      EXPECT_EQ(verdict.headerOffset, before);
      EXPECT_EQ(verdict.lookalike, Lookalike::None);
      EXPECT_EQ(verdict.tail, kTailInvalidFile);
    }
  }
  // Further in, it is not looked for; nor is a signature without its mark.
  Bytes far(kHeaderSearchWindow + 1, 0);
  const Bytes crw = CiffBuilder().HeapEnd(kHeapEnd).Build();
  far.insert(far.end(), crw.begin(), crw.end());
  EXPECT_EQ(Judge(far).reason, UnrepairableReason::NoCiffHeader);
  for (const std::size_t broken : {0, 1}) {
    Bytes unmarked = crw;
    unmarked.insert(unmarked.begin(), 300, 0);
    unmarked[300 + broken] = 'X';
    EXPECT_EQ(Judge(unmarked).reason, UnrepairableReason::NoCiffHeader) << broken;
  }
}

// Raw readers take the heap to start where the header's length says, and read no file without
// the signature: a header they would read otherwise is never cut, whatever looks like a heap end.
TEST(FileVerdictNotRepairable, AHeaderReadersReadOtherwiseIsNeverCut) {
  for (const bool big : {false, true}) {
    const Bytes crw = CiffBuilder().BigEndian(big).HeapEnd(kHeapEnd).Junk(5000).Build();
    ASSERT_EQ(Judge(crw).tail, static_cast<TailResult>(kHeapEnd));
    const auto changed = [&](std::size_t at, std::string_view bytes) {
      Bytes file = crw;
      std::copy(bytes.begin(), bytes.end(), file.begin() + static_cast<std::ptrdiff_t>(at));
      return Judge(file);
    };
    using namespace std::string_view_literals;
    for (const auto& [verdict, reason] :
         {std::pair{changed(2, big ? "\0\0\0\x1e"sv : "\x1e\0\0\0"sv), UnrepairableReason::UnexpectedHeaderLength},
          {changed(2, big ? "\x1a\0\0\0"sv : "\0\0\0\x1a"sv), UnrepairableReason::UnexpectedHeaderLength},
          {changed(13, "X"), UnrepairableReason::NoCiffHeader},
          {changed(0, big ? "MM\0*\0\0\0\x08"sv : "II*\0\x08\0\0\0"sv), UnrepairableReason::NoCiffHeader}}) {
      EXPECT_EQ(verdict.tail, kTailInvalidFile) << StableName(reason) << (big ? " MM" : " II");
      EXPECT_EQ(verdict.reason, reason) << (big ? " MM" : " II");
    }
  }
}

TEST(FileVerdictNotRepairable, NoHeapEndSaysWhetherTheFileSeemsCutShortOrDamaged) {
  // Cut in the middle of its image data: nothing at all looks like a heap end.
  Bytes cutShort = CiffBuilder().HeapEnd(900000).Build();
  cutShort.resize(800000);
  PutU32(cutShort, 500000 - 4, 500000 - 72);  // below the floor, with no root directory behind it
  const FileVerdict shortVerdict = Judge(cutShort);
  EXPECT_EQ(shortVerdict.verdict, Verdict::NotRepairable);
  EXPECT_EQ(shortVerdict.reason, UnrepairableReason::NoHeapEnd);
  EXPECT_EQ(shortVerdict.missingEnd, MissingEnd::CutShort);
  EXPECT_EQ(shortVerdict.tail, kTailNotFound);
  // A heap end whose root directory no reader can read.
  const FileVerdict damaged = Judge(CiffBuilder().HeapEnd(kHeapEnd).RootCount(5).Junk(100).Build());
  EXPECT_EQ(damaged.reason, UnrepairableReason::NoHeapEnd);
  EXPECT_EQ(damaged.missingEnd, MissingEnd::Damaged);
  EXPECT_EQ(damaged.tail, kTailNotFound);
  // A heap that ends below the scan floor, junk past it: the floor is why, false heap end or not.
  for (const bool big : {false, true}) {
    Bytes bytes = CiffBuilder().BigEndian(big).HeapEnd(kScanFloor - 1).Junk(800000 - kScanFloor + 1).Build();
    EXPECT_EQ(Judge(bytes).missingEnd, MissingEnd::BelowScanFloor);
    PutU32(bytes, 700000 - 4, 700000 - 72, big);
    EXPECT_EQ(Judge(bytes).missingEnd, MissingEnd::BelowScanFloor) << "behind a false end";
  }
}

TEST(FileVerdictReads, AFailedReadBeforeTheAnswerIsAReadFailure) {
  MemoryStream noSize(CiffBuilder().Build());
  noSize.FailSize();
  EXPECT_EQ(JudgeFile(noSize).verdict, Verdict::ReadFailed);
  EXPECT_EQ(JudgeFile(noSize).size, std::nullopt);
  MemoryStream failing(CiffBuilder().HeapEnd(kHeapEnd).Junk(1000).Build());
  failing.FailReadsFrom(kHeapEnd + 500);
  const FileVerdict verdict = JudgeFile(failing);
  EXPECT_EQ(verdict.verdict, Verdict::ReadFailed);
  EXPECT_EQ(verdict.tail, kTailUnknownError);
}

TEST(FileVerdictReads, AFailedReadInsideTheHeapLeavesTheFileUncut) {
  // The preview's start lies in a block below those the locator reads.
  const std::uint32_t previewStart = kHeapEnd - 36 - 196 - 100000;
  MemoryStream stream(
      CiffBuilder().HeapEnd(kHeapEnd).Root({ImageData(), PreviewJpeg(100000), ImageProperties()}).Junk(1000).Build());
  stream.FailReadsIn(previewStart, previewStart + 1);
  const FileVerdict verdict = JudgeFile(stream);
  EXPECT_EQ(verdict.tail, kTailUnknownError);
  EXPECT_EQ(verdict.verdict, Verdict::ReadFailed);
  EXPECT_EQ(verdict.failureReason, "read failed");
}

TEST(FileVerdictReads, TheVerdictReadsLittleMoreThanTheLocator) {
  const Bytes bytes = CiffBuilder().HeapEnd(7 << 20).Root({ImageData(), PreviewJpeg(400000), ImageProperties()})
                          .Junk(1 << 20).Build();
  MemoryStream located(bytes);
  ASSERT_EQ(FindFileTail(located), 7 << 20);
  MemoryStream judged(bytes);
  EXPECT_EQ(JudgeFile(judged).verdict, Verdict::Repairable);
  EXPECT_LE(judged.BytesRead(), located.BytesRead() + 16384);
}

// The texts of machine-readable reports: every value has one, none is shared.
template <typename Enum>
void ExpectDistinctNames(std::initializer_list<Enum> values) {
  std::map<std::string_view, int> seen;
  for (const Enum value : values) {
    EXPECT_NE(StableName(value), "unknown");
    EXPECT_EQ(seen[StableName(value)]++, 0) << StableName(value);
  }
}

TEST(FileVerdictNames, EveryValueHasItsOwnStableName) {
  ExpectDistinctNames({Verdict::Healthy, Verdict::Repairable, Verdict::HeapDamaged, Verdict::NotRepairable,
                       Verdict::ReadFailed});
  ExpectDistinctNames({UnrepairableReason::None, UnrepairableReason::TooSmall, UnrepairableReason::TooLarge,
                       UnrepairableReason::NoCiffHeader, UnrepairableReason::HeaderNotAtStart,
                       UnrepairableReason::UnexpectedHeaderLength, UnrepairableReason::NoHeapEnd});
  ExpectDistinctNames({Lookalike::None, Lookalike::Jpeg, Lookalike::TiffRaw, Lookalike::Zeros});
  EXPECT_EQ(StableName(Lookalike::Unknown), "unknown");
  ExpectDistinctNames({MissingEnd::None, MissingEnd::CutShort, MissingEnd::Damaged, MissingEnd::BelowScanFloor});
  ExpectDistinctNames({HeapFault::EntryCount, HeapFault::DirectoryMisplaced, HeapFault::DataOutside,
                       HeapFault::UnknownStorage, HeapFault::NestedTooDeep, HeapFault::TooManyDirectories,
                       HeapFault::PreviewStart, HeapFault::PreviewEnd, HeapFault::Unreadable});
}

// What must hold between a verdict and its parts, whatever the file.
void ExpectConsistent(const FileVerdict& v, const std::string& what) {
  const bool cut = v.tail >= static_cast<TailResult>(kScanFloor);
  EXPECT_EQ(cut, v.verdict == Verdict::Repairable || (v.verdict == Verdict::HeapDamaged && v.tail > 0)) << what;
  EXPECT_EQ(v.junk, cut ? v.size.value_or(0) - static_cast<std::uint32_t>(v.tail) : 0u) << what;
  EXPECT_EQ(v.tail == kTailUnknownError, v.verdict == Verdict::ReadFailed) << what;
  if (v.tail == kTailInvalidFile) {
    EXPECT_EQ(v.verdict, Verdict::NotRepairable) << what;
    EXPECT_NE(v.reason, UnrepairableReason::NoHeapEnd) << what;
  }
  if (v.tail == kTailNotFound && v.verdict == Verdict::NotRepairable) {
    EXPECT_NE(v.reason, UnrepairableReason::TooSmall) << what;
    EXPECT_NE(v.reason, UnrepairableReason::TooLarge) << what;
  }
  EXPECT_EQ(v.verdict == Verdict::NotRepairable, v.reason != UnrepairableReason::None) << what;
  EXPECT_EQ(v.verdict == Verdict::HeapDamaged, v.damage.has_value()) << what;
  EXPECT_EQ(v.reason == UnrepairableReason::NoCiffHeader, v.lookalike != Lookalike::None) << what;
  EXPECT_EQ(v.reason == UnrepairableReason::NoHeapEnd, v.missingEnd != MissingEnd::None) << what;
  EXPECT_TRUE(v.reason == UnrepairableReason::HeaderNotAtStart || v.headerOffset == 0) << what;
  EXPECT_TRUE(!v.trailerKept || v.verdict != Verdict::NotRepairable) << what;
}

TEST(FileVerdictProperty, TheTailIsFindFileTailsAnswerOnEveryGeneratedFile) {
  CrwCaseMaker maker(20250611);
  std::map<std::string, int> seen;
  for (int n = 0; n < 3000; ++n) {
    CrwCase made = maker.Make();
    const std::string what = "case " + std::to_string(n) + ": " + made.description;
    const std::size_t before = made.stream.BytesRead();
    const TailResult tail = FindFileTail(made.stream);
    const std::size_t located = made.stream.BytesRead() - before;
    const FileVerdict verdict = JudgeFile(made.stream);
    ASSERT_EQ(verdict.tail, tail) << what;
    ExpectConsistent(verdict, what);
    // The locator's reads again, the heap's directories and markers, or the look at a file without
    // a mark, or below the scan floor of a file without a heap end.
    const std::size_t below = verdict.reason == UnrepairableReason::NoHeapEnd ? kScanFloor : 0;
    EXPECT_LE(made.stream.BytesRead() - before - located, located + 2 * kHeaderSearchWindow + below + 64) << what;
    ++seen[std::string(StableName(verdict.verdict)) + "/" + std::string(StableName(verdict.reason))];
    // Cut at its heap end, a file is readable as it stands.
    if (verdict.tail > 0 && !verdict.trailerKept) {
      Bytes cut = made.stream.TakeContents();
      cut.resize(static_cast<std::size_t>(verdict.tail));
      MemoryStream repaired(std::move(cut));
      const FileVerdict after = JudgeFile(repaired);
      EXPECT_EQ(after.tail, kTailNotFound) << what;
      EXPECT_TRUE(after.verdict == Verdict::Healthy || after.verdict == Verdict::HeapDamaged) << what;
      maker.Recycle(repaired.TakeContents());
    } else {
      maker.Recycle(made.stream.TakeContents());
    }
  }
  // Every outcome must be met often enough to mean something.
  for (const char* outcome : {"healthy/none", "repairable/none", "heap-damaged/none", "read-failed/none",
                              "not-repairable/too-small", "not-repairable/no-ciff-header",
                              "not-repairable/header-not-at-start", "not-repairable/no-heap-end",
                              "not-repairable/unexpected-header-length"}) {
    EXPECT_GE(seen[outcome], 20) << outcome;
  }
}

}  // namespace
}  // namespace tailmend::test

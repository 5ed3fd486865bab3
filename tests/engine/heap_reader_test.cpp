#include <gtest/gtest.h>

#include <span>
#include <vector>

#include "engine/heap_reader.h"
#include "engine/tail_locator.h"
#include "platform/platform_error.h"
#include "tests/support/ciff_builder.h"
#include "tests/support/memory_stream.h"

namespace tailmend::test {
namespace {

constexpr std::uint32_t kHeapEnd = 700000;

struct Read {
  HeapReading reading;
  std::size_t bytesRead;
};

Read ReadBuilt(const CiffBuilder& builder, std::uint32_t heapEnd = kHeapEnd, bool big = false) {
  MemoryStream stream(builder.Build());
  FileBytes file(stream, static_cast<std::uint32_t>(stream.Size()));
  HeapReading reading = ReadHeap(file, {kCiffHeaderSize, heapEnd}, big ? ByteOrder::Big : ByteOrder::Little);
  return {std::move(reading), stream.BytesRead()};
}

HeapReading ReadRoot(std::vector<CiffEntry> root, bool big = false) {
  return ReadBuilt(CiffBuilder().BigEndian(big).HeapEnd(kHeapEnd).Root(std::move(root)), kHeapEnd, big).reading;
}

std::optional<HeapFault> FaultOf(const HeapReading& reading) {
  if (!reading.damage) return std::nullopt;
  return reading.damage->fault;
}

std::vector<std::uint16_t> TagsOf(const HeapReading& reading) {
  const auto tags = reading.damage.value().Tags();
  return {tags.begin(), tags.end()};
}

// A root whose entry k is replaced.
std::vector<CiffEntry> CameraRootWith(std::size_t k, CiffEntry entry) {
  std::vector<CiffEntry> root = CameraRoot();
  root.at(k) = std::move(entry);
  return root;
}

CiffEntry WithSize(CiffEntry entry, std::uint32_t size) {
  entry.size = size;
  return entry;
}

CiffEntry WithOffset(CiffEntry entry, std::uint32_t offset) {
  entry.offset = offset;
  return entry;
}

// The preview, the image properties and the directory come after the image data, as in the
// cameras' files: the root directory's pointer counts the whole heap up to it.
std::uint32_t RootPointer(std::size_t entries) {
  return kHeapEnd - 26 - (2 + 10 * static_cast<std::uint32_t>(entries) + 4);
}

TEST(HeapReader, AHeapAsACameraWritesItHasNoFaultAndGivesTheNameAndTime) {
  for (const bool big : {false, true}) {
    const HeapReading reading = ReadRoot(CameraRoot(), big);
    EXPECT_EQ(FaultOf(reading), std::nullopt) << big;
    EXPECT_EQ(reading.originalFileName, "CRW_0042.CRW") << big;
    EXPECT_EQ(reading.captureTime, kSampleCaptureTime) << big;
  }
}

TEST(HeapReader, ReadsDirectoriesAndMarkersButNoImageData) {
  const Read read =
      ReadBuilt(CiffBuilder().HeapEnd(7 << 20).Root({ImageData(), PreviewJpeg(300000), ImageProperties()}), 7 << 20);
  EXPECT_EQ(FaultOf(read.reading), std::nullopt);
  // Seven directories, the preview's first two and last 4096 bytes, the name's field and the time,
  // in a few windows of 4 KiB.
  EXPECT_LE(read.bytesRead, 16384u);
}

TEST(HeapReaderCounts, OneTo127EntriesAreReadable) {
  for (const std::size_t count : {1, 127}) {
    std::vector<CiffEntry> root(count, Value(0x0006, Bytes(2, 0)));
    root[0] = ImageData();
    EXPECT_EQ(FaultOf(ReadRoot(root)), std::nullopt) << count;
  }
}

TEST(HeapReaderCounts, ARootCountOf0Or128IsAFault) {
  for (const std::uint16_t count : {0, 128, 0xFFFF}) {
    const Read read = ReadBuilt(CiffBuilder().HeapEnd(kHeapEnd).RootCount(count));
    EXPECT_EQ(FaultOf(read.reading), HeapFault::EntryCount) << count;
    EXPECT_TRUE(TagsOf(read.reading).empty()) << "the root directory's own fault";
  }
}

TEST(HeapReaderCounts, ASubHeapOf0Or128EntriesIsAFault) {
  std::vector<CiffEntry> many(128, Value(0x0006, Bytes(2, 0)));
  EXPECT_EQ(FaultOf(ReadRoot(CameraRootWith(2, SubHeap(0x300A, many)))), HeapFault::EntryCount);
  many.pop_back();
  EXPECT_EQ(FaultOf(ReadRoot(CameraRootWith(2, SubHeap(0x300A, many)))), std::nullopt);
  CiffEntry none = SubHeap(0x300A, {Value(0x0006, {})});
  none.count = 0;
  const HeapReading reading = ReadRoot(CameraRootWith(2, none));
  EXPECT_EQ(FaultOf(reading), HeapFault::EntryCount);
  EXPECT_EQ(TagsOf(reading), std::vector<std::uint16_t>{0x300A}) << "the sub-heap's entry holds the fault";
}

TEST(HeapReaderDirectories, TheRootDirectoryMustEndAtTheHeapEnd) {
  // Two entries more or fewer than the directory holds: it would end 20 bytes off the heap end.
  for (const std::uint16_t count : {1, 5}) {
    EXPECT_EQ(FaultOf(ReadBuilt(CiffBuilder().HeapEnd(kHeapEnd).RootCount(count)).reading),
              HeapFault::DirectoryMisplaced)
        << count;
  }
}

TEST(HeapReaderDirectories, ASubHeapsDirectoryMustLieInsideIt) {
  // The sub-heap is 32 + 8 + 2 + 20 + 4 = 66 bytes: its directory is at 40.
  const auto withDirectory = [](std::uint32_t pointer, std::uint16_t count) {
    CiffEntry heap = SubHeap(0x300A, {Value(0x0816, Bytes(32, 'A')), Value(0x0006, Bytes(8, 0))});
    heap.pointer = pointer;
    heap.count = count;
    return FaultOf(ReadRoot(CameraRootWith(2, heap)));
  };
  EXPECT_EQ(withDirectory(40, 2), std::nullopt);
  // Fewer entries than the room before the pointer holds is how readers take it too.
  EXPECT_EQ(withDirectory(40, 1), std::nullopt);
  EXPECT_EQ(withDirectory(40, 3), HeapFault::DirectoryMisplaced) << "an entry over the pointer";
  EXPECT_EQ(withDirectory(61, 2), HeapFault::DirectoryMisplaced) << "the count over the pointer";
  EXPECT_EQ(withDirectory(0xFFFFFFFF, 2), HeapFault::DirectoryMisplaced) << "beyond the file";
}

// A root whose sub-heap (0x300A) is the given bytes, laid by hand at the start of the heap.
std::vector<CiffEntry> RootWithSubHeapBytes(Bytes heap) {
  CiffEntry sub = SubHeap(0x300A, {});
  sub.offset = 0;
  sub.size = static_cast<std::uint32_t>(heap.size());
  return {Value(0x0006, std::move(heap)), ImageData(), sub};
}

// A sub-heap of 40 bytes of data, then two empty entries whose directory starts at pointer, then
// the pointer at the end of size bytes.
Bytes SubHeapBytes(std::uint32_t pointer, std::size_t size) {
  Bytes heap(size, 0);
  PutU16(heap, pointer, 2);
  for (std::uint32_t k = 0; k < 2; ++k) PutU16(heap, pointer + 2 + 10 * k, 0x0006);
  PutU32(heap, size - 4, pointer);
  return heap;
}

TEST(HeapReaderDirectories, ASubHeapsDirectoryRunningOneBytePastItsPointerIsAFault) {
  // 40 + 2 + 20 + 4 = 66 bytes hold the directory at 40 exactly; 67 leave a byte of slack.
  EXPECT_EQ(FaultOf(ReadRoot(RootWithSubHeapBytes(SubHeapBytes(40, 66)))), std::nullopt);
  EXPECT_EQ(FaultOf(ReadRoot(RootWithSubHeapBytes(SubHeapBytes(40, 67)))), std::nullopt);
  // The second entry's last byte under the pointer's first.
  EXPECT_EQ(FaultOf(ReadRoot(RootWithSubHeapBytes(SubHeapBytes(41, 66)))), HeapFault::DirectoryMisplaced);
}

TEST(HeapReaderDirectories, ASubHeapTooSmallForAPointerAndACountIsAFault) {
  CiffEntry heap = SubHeap(0x300A, {});
  heap.size = 5;
  EXPECT_EQ(FaultOf(ReadRoot(CameraRootWith(2, heap))), HeapFault::DirectoryMisplaced);
}

TEST(HeapReaderData, AnEntryEndingOneBytePastItsDirectoryIsAFault) {
  for (const bool big : {false, true}) {
    // The image data, at offset 0, ends where the preview starts; stretched, it ends at the
    // directory, then one byte past it.
    const std::uint32_t pointer = RootPointer(2);
    EXPECT_EQ(FaultOf(ReadRoot({WithSize(ImageData(), pointer), PreviewJpeg()}, big)), std::nullopt);
    const HeapReading reading = ReadRoot({WithSize(ImageData(), pointer + 1), PreviewJpeg()}, big);
    EXPECT_EQ(FaultOf(reading), HeapFault::DataOutside) << big;
    EXPECT_EQ(TagsOf(reading), std::vector<std::uint16_t>{0x2005});
    EXPECT_EQ(reading.damage->offset, kHeapEnd - 4 - 20 - 2 + 2) << "the first entry of the root directory";
  }
}

TEST(HeapReaderData, AnEntryAtAnOffsetPastTheHeapIsAFaultWhateverItsSize) {
  EXPECT_EQ(FaultOf(ReadRoot({ImageData(), WithSize(WithOffset(PreviewJpeg(), 0xFFFFFFF0u), 0x20)})),
            HeapFault::DataOutside)
      << "offset + size wraps round in 32 bits";
  EXPECT_EQ(FaultOf(ReadRoot({ImageData(), WithOffset(PreviewJpeg(), RootPointer(2))})), HeapFault::DataOutside);
}

TEST(HeapReaderData, AnEntryOfASubHeapEndingPastItsDirectoryIsAFault) {
  CiffEntry name = Value(0x0816, Bytes(32, 'A'));
  name.size = 40 + 1;  // the sub-heap's directory is at 40
  const HeapReading reading = ReadRoot(CameraRootWith(2, SubHeap(0x300A, {name, Value(0x0006, Bytes(8, 0))})));
  EXPECT_EQ(FaultOf(reading), HeapFault::DataOutside);
  EXPECT_EQ(TagsOf(reading), (std::vector<std::uint16_t>{0x300A, 0x0816}));
}

TEST(HeapReaderData, DataStoredInTheEntryItselfIsNotLookedForInTheHeap) {
  CiffEntry inEntry;
  inEntry.tag = 0x5817;
  inEntry.words = {0xFFFFFFF0u, 0xFFFFFFF0u};  // read as a size and an offset, far outside
  EXPECT_EQ(FaultOf(ReadRoot({ImageData(), PreviewJpeg(), inEntry})), std::nullopt);
}

TEST(HeapReaderData, StorageBitsNeitherInTheHeapNorInTheEntryAreAFault) {
  for (const std::uint16_t tag : {0x8006, 0xC006}) {
    CiffEntry odd = Value(tag, Bytes(8, 0));
    EXPECT_EQ(FaultOf(ReadRoot({ImageData(), odd})), HeapFault::UnknownStorage) << tag;
  }
}

// Sub-heaps nested levels deep below the root, each the only entry of the one above.
CiffEntry Nested(std::size_t levels) {
  CiffEntry heap = SubHeap(0x300A, {Value(0x0006, Bytes(4, 0))});
  for (std::size_t k = 1; k < levels; ++k) heap = SubHeap(0x2807, {heap});
  return heap;
}

TEST(HeapReaderSubHeaps, SixLevelsBelowTheRootAreCheckedAndASeventhIsAFault) {
  EXPECT_EQ(FaultOf(ReadRoot({ImageData(), Nested(kMaxSubHeapDepth)})), std::nullopt);
  const HeapReading reading = ReadRoot({ImageData(), Nested(kMaxSubHeapDepth + 1)});
  EXPECT_EQ(FaultOf(reading), HeapFault::NestedTooDeep);
  EXPECT_EQ(TagsOf(reading).size(), kMaxSubHeapDepth + 1);
}

TEST(HeapReaderSubHeaps, FaultsAreFoundAtEveryLevelAndSayWhere) {
  // The camera's image properties hold the camera object, which holds the firmware's sub-heap:
  // three levels, each given a directory of no entries in turn.
  const std::vector<std::vector<std::uint16_t>> paths = {{0x300A}, {0x300A, 0x2807}, {0x300A, 0x2807, 0x3004}};
  for (std::size_t level = 0; level < paths.size(); ++level) {
    CiffEntry properties = ImageProperties();
    CiffEntry* heap = &properties;
    for (std::size_t k = 0; k < level; ++k) heap = &heap->children.back();
    heap->count = 0;
    MemoryStream stream(CiffBuilder().HeapEnd(kHeapEnd).Root(CameraRootWith(2, properties)).Build());
    FileBytes file(stream, kHeapEnd);
    const HeapReading reading = ReadHeap(file, {kCiffHeaderSize, kHeapEnd}, ByteOrder::Little);
    EXPECT_EQ(FaultOf(reading), HeapFault::EntryCount) << level;
    EXPECT_EQ(TagsOf(reading), paths[level]);
    // The fault's offset is that of the entry holding the broken sub-heap.
    EXPECT_EQ(file.U16At(reading.damage->offset, ByteOrder::Little), paths[level].back()) << level;
  }
}

TEST(HeapReaderSubHeaps, BothDirectoryKindsAreSubHeaps) {
  for (const std::uint16_t tag : {0x2804, 0x300B}) {
    CiffEntry heap = SubHeap(tag, {Value(0x0006, Bytes(4, 0))});
    heap.count = 0;
    EXPECT_EQ(FaultOf(ReadRoot({ImageData(), heap})), HeapFault::EntryCount) << tag;
  }
  // Data of any other kind is not read as a heap.
  EXPECT_EQ(FaultOf(ReadRoot({ImageData(), Value(0x2008, Bytes(64, 0))})), std::nullopt);
}

TEST(HeapReaderSubHeaps, EntriesThatShareOneSubHeapAgainAndAgainEndTheReading) {
  // Every entry of every level points at the same sub-heap below it: 127^3 directories to a
  // reader that followed them all.
  CiffEntry inner = SubHeap(0x3004, {Value(0x0006, Bytes(4, 0))});
  CiffEntry middle = SubHeap(0x2807, std::vector<CiffEntry>(127, inner));
  for (std::size_t k = 1; k < 127; ++k) middle.children[k].offset = 0;
  CiffEntry outer = SubHeap(0x300A, std::vector<CiffEntry>(127, middle));
  for (std::size_t k = 1; k < 127; ++k) outer.children[k].offset = 0;
  const Read read = ReadBuilt(CiffBuilder().HeapEnd(kHeapEnd).Root({ImageData(), outer}));
  EXPECT_EQ(FaultOf(read.reading), HeapFault::TooManyDirectories);
  EXPECT_LT(read.bytesRead, kMaxDirectories * 1300);
}

TEST(HeapReaderSubHeaps, DirectoriesFarApartAreReadInUnder128KiB) {
  // As many sub-heaps as the limit lets be read, each of 127 entries, far from one another.
  const CiffEntry full = SubHeap(0x300A, std::vector<CiffEntry>(127, Value(0x0006, {})));
  std::vector<CiffEntry> root = {ImageData()};
  for (std::size_t k = 1; k < kMaxDirectories; ++k) {
    root.push_back(full);
    root.push_back(Value(0x0006, Bytes(20000, 0)));
  }
  const Read read = ReadBuilt(CiffBuilder().HeapEnd(kHeapEnd).Root(root));
  EXPECT_EQ(FaultOf(read.reading), std::nullopt);
  EXPECT_LT(read.bytesRead, 128u * 1024);
}

TEST(HeapReaderSubHeaps, AsManyDirectoriesAsTheLimitAreRead) {
  // The root, one sub-heap and as many sub-heaps inside it as the limit leaves.
  const CiffEntry leaf = SubHeap(0x3004, {Value(0x0006, Bytes(4, 0))});
  EXPECT_EQ(FaultOf(ReadRoot({ImageData(), SubHeap(0x300A, std::vector<CiffEntry>(kMaxDirectories - 2, leaf))})),
            std::nullopt);
  EXPECT_EQ(FaultOf(ReadRoot({ImageData(), SubHeap(0x300A, std::vector<CiffEntry>(kMaxDirectories - 1, leaf))})),
            HeapFault::TooManyDirectories);
}

TEST(HeapReaderPreview, PaddingAfterTheEndMarkerIsAllowed) {
  for (const unsigned char padding : {0x00, 0xFF}) {
    for (const std::size_t count : {0, 1, 3, 4000}) {
      const CiffEntry preview = Value(0x2007, Jpeg(5000, count, padding));
      EXPECT_EQ(FaultOf(ReadRoot(CameraRootWith(1, preview))), std::nullopt) << count << " x " << int{padding};
    }
  }
}

TEST(HeapReaderPreview, APreviewWithoutItsEndMarkerIsAFault) {
  for (const std::size_t broken : {1, 2}) {
    Bytes jpeg = Jpeg(5000, 1);
    jpeg[jpeg.size() - 1 - broken] ^= 0x01;
    const HeapReading reading = ReadRoot(CameraRootWith(1, Value(0x2007, jpeg)));
    EXPECT_EQ(FaultOf(reading), HeapFault::PreviewEnd) << broken;
    EXPECT_EQ(TagsOf(reading), std::vector<std::uint16_t>{0x2007});
  }
  // Cut short: the end marker and a little more are gone.
  Bytes cut = Jpeg(5000, 0);
  cut.resize(4990);
  EXPECT_EQ(FaultOf(ReadRoot(CameraRootWith(1, Value(0x2007, cut)))), HeapFault::PreviewEnd);
  // More padding than the reader looks through.
  EXPECT_EQ(FaultOf(ReadRoot(CameraRootWith(1, Value(0x2007, Jpeg(9000, 4095))))), HeapFault::PreviewEnd);
}

TEST(HeapReaderPreview, APreviewWithoutItsStartMarkerIsAFault) {
  for (const std::size_t broken : {0, 1}) {
    Bytes jpeg = Jpeg(5000, 1);
    jpeg[broken] ^= 0x01;
    EXPECT_EQ(FaultOf(ReadRoot(CameraRootWith(1, Value(0x2007, jpeg)))), HeapFault::PreviewStart) << broken;
  }
  // Too short for the start marker, however the bytes after it in the heap read.
  for (const std::size_t size : {0, 1}) {
    const std::vector<CiffEntry> root = {ImageData(), Value(0x2007, Bytes(size, 0xFF)),
                                         Value(0x0006, {0xFF, 0xD8, 0xFF, 0xD9})};
    EXPECT_EQ(FaultOf(ReadRoot(root)), HeapFault::PreviewStart) << size;
  }
  // Too short to hold both markers.
  const Bytes markers = {0xFF, 0xD8, 0xFF};
  for (const std::size_t size : {0, 1, 2, 3}) {
    const Bytes start(markers.begin(), markers.begin() + static_cast<std::ptrdiff_t>(size));
    EXPECT_NE(FaultOf(ReadRoot(CameraRootWith(1, Value(0x2007, start)))), std::nullopt) << size;
  }
  EXPECT_EQ(FaultOf(ReadRoot(CameraRootWith(1, Value(0x2007, {0xFF, 0xD8, 0xFF, 0xD9})))), std::nullopt);
}

TEST(HeapReaderPreview, OnlyTheFirstPreviewIsChecked) {
  // A second preview, anywhere, costs no more reading: heaps hold one.
  Bytes broken = Jpeg(5000, 1);
  broken[0] = 0;
  std::vector<CiffEntry> root = CameraRoot();
  root.push_back(Value(0x2007, broken));
  EXPECT_EQ(FaultOf(ReadRoot(root)), std::nullopt);
  std::swap(root[1], root[3]);
  EXPECT_EQ(FaultOf(ReadRoot(root)), HeapFault::PreviewStart);
}

TEST(HeapReaderPreview, OnlyThePreviewTagIsCheckedForMarkers) {
  EXPECT_EQ(FaultOf(ReadRoot(CameraRootWith(1, Value(0x2008, Bytes(5000, 0x55))))), std::nullopt);
}

TEST(HeapReaderFaults, TheFirstFaultIsReportedAndTheEntriesAfterItAreStillRead) {
  Bytes jpeg = Jpeg(5000, 1);
  jpeg[0] = 0;
  std::vector<CiffEntry> root = CameraRootWith(1, Value(0x2007, jpeg));
  root.push_back(WithSize(Value(0x0006, {}), 0xFFFFFF));
  const HeapReading reading = ReadRoot(root);
  EXPECT_EQ(FaultOf(reading), HeapFault::PreviewStart);
  EXPECT_EQ(reading.originalFileName, "CRW_0042.CRW");
  EXPECT_EQ(reading.captureTime, kSampleCaptureTime);
}

TEST(HeapReaderFaults, AFailedReadIsAFaultOfTheEntryBeingRead) {
  // A preview large enough that its start lies far below the directories.
  const Bytes bytes =
      CiffBuilder().HeapEnd(kHeapEnd).Root({ImageData(), PreviewJpeg(100000), ImageProperties()}).Build();
  MemoryStream plain(bytes);
  FileBytes plainFile(plain, kHeapEnd);
  // The preview's offset, in the second entry of the root directory.
  const std::uint32_t preview =
      kCiffHeaderSize + plainFile.U32At(kCiffHeaderSize + RootPointer(3) + 2 + 10 + 6, ByteOrder::Little);
  MemoryStream stream(bytes);
  stream.FailReadsIn(preview + 1, preview + 2);
  FileBytes file(stream, kHeapEnd);
  const HeapReading reading = ReadHeap(file, {kCiffHeaderSize, kHeapEnd}, ByteOrder::Little);
  EXPECT_EQ(FaultOf(reading), HeapFault::Unreadable);
  EXPECT_EQ(TagsOf(reading), std::vector<std::uint16_t>{0x2007});
  EXPECT_EQ(reading.damage->offset, kCiffHeaderSize + RootPointer(3) + 2 + 10);
  EXPECT_EQ(reading.originalFileName, std::nullopt) << "nothing is read after a failure";
}

TEST(HeapReaderFaults, ARootDirectoryThatCannotBeReadIsAFaultOfTheRoot) {
  MemoryStream stream(CiffBuilder().HeapEnd(kHeapEnd).Build());
  stream.FailReadsIn(kHeapEnd - 40, kHeapEnd - 30);
  FileBytes file(stream, kHeapEnd);
  const HeapReading reading = ReadHeap(file, {kCiffHeaderSize, kHeapEnd}, ByteOrder::Little);
  EXPECT_EQ(FaultOf(reading), HeapFault::Unreadable);
  EXPECT_TRUE(TagsOf(reading).empty());
  // The locator's check lets the failure through: its callers answer "unknown error".
  EXPECT_THROW(CheckRootDirectory(file, {kCiffHeaderSize, kHeapEnd}, ByteOrder::Little), PlatformError);
}

// Held bytes serve the root check's reads that they hold whole, the file the others: held here are
// the file's bytes with the one before and the one after them spoiled, starting or ending anywhere
// around the root directory.
TEST(HeapReaderRootCheck, HeldBytesServeOnlyTheReadsTheyHoldWhole) {
  const Bytes bytes = CiffBuilder().HeapEnd(kHeapEnd).RootEntries(8).Junk(16).Build();
  MemoryStream stream(bytes);
  FileBytes file(stream, static_cast<std::uint32_t>(bytes.size()));
  const std::uint32_t directory = kHeapEnd - 6 - 80;
  const auto checkHeld = [&](std::uint32_t from, std::uint32_t to) {
    Bytes spoiled = bytes;
    spoiled[from - 1] ^= 0xFF;
    spoiled[to] ^= 0xFF;
    const HeldBytes held{from, std::span<const unsigned char>(spoiled).subspan(from, to - from)};
    return CheckRootDirectory(file, {kCiffHeaderSize, kHeapEnd}, ByteOrder::Little, held);
  };
  for (std::uint32_t edge = directory - 1; edge <= kHeapEnd + 1; ++edge) {
    EXPECT_EQ(checkHeld(edge, kHeapEnd + 1), std::nullopt) << "held from " << edge;
    EXPECT_EQ(checkHeld(directory - 1, edge), std::nullopt) << "held up to " << edge;
  }
}

TEST(HeapReaderContent, TheNameIsTakenOnlyWhenItIsPrintableText) {
  const auto nameOf = [](Bytes field) {
    CiffEntry properties = ImageProperties();
    properties.children[0].data = std::move(field);
    return ReadRoot(CameraRootWith(2, properties)).originalFileName;
  };
  EXPECT_EQ(nameOf({'A', 'B', 0, 'C'}), "AB");
  EXPECT_EQ(nameOf({'A', 0x07, 'B', 0}), std::nullopt);
  EXPECT_EQ(nameOf({'A', 0x80, 'B', 0}), std::nullopt);
  EXPECT_EQ(nameOf({0, 'A'}), std::nullopt);
  EXPECT_EQ(nameOf({}), std::nullopt);
  EXPECT_EQ(nameOf(Bytes(32, 'x')), std::string(32, 'x')) << "a field without its zero";
  EXPECT_EQ(nameOf(Bytes(100, 'x')), std::string(64, 'x')) << "at most 64 bytes are read";
}

TEST(HeapReaderContent, BytesRightAfterASubHeapAreReadAsTheyAre) {
  // The sub-heap, near the start of the file, is read through a window that ends where it ends;
  // the name's one byte comes right after it.
  for (const bool big : {false, true}) {
    const std::vector<CiffEntry> root = {SubHeap(0x300A, {Value(0x0006, Bytes(4, 0))}), Value(0x0816, {'A'}),
                                         ImageData()};
    EXPECT_EQ(ReadRoot(root, big).originalFileName, "A") << big;
  }
}

TEST(HeapReaderContent, AZeroTimeIsNoTime) {
  EXPECT_EQ(ReadRoot(CameraRootWith(2, ImageProperties("CRW_0001.CRW", 0))).captureTime, std::nullopt);
  EXPECT_EQ(ReadRoot(CameraRootWith(2, ImageProperties("CRW_0001.CRW", 1))).captureTime, 1u);
}

TEST(HeapReaderContent, AHeapWithoutTheirTagsHasNeitherNameNorTime) {
  const HeapReading reading = ReadRoot({ImageData(), PreviewJpeg()});
  EXPECT_EQ(reading.originalFileName, std::nullopt);
  EXPECT_EQ(reading.captureTime, std::nullopt);
}

TEST(HeapReaderRoot, TheRootCheckLooksAtTheRootDirectoryAlone) {
  CiffEntry properties = ImageProperties();
  properties.count = 0;
  MemoryStream stream(CiffBuilder().HeapEnd(kHeapEnd).Root(CameraRootWith(2, properties)).Build());
  FileBytes file(stream, kHeapEnd);
  EXPECT_EQ(CheckRootDirectory(file, {kCiffHeaderSize, kHeapEnd}, ByteOrder::Little), std::nullopt);
  EXPECT_LE(stream.BytesRead(), 4u + 2 + 30);
}

TEST(HeapReaderRoot, TheRootCheckFindsEveryFaultOfTheRootDirectory) {
  const auto check = [](const CiffBuilder& builder) {
    MemoryStream stream(builder.Build());
    FileBytes file(stream, kHeapEnd);
    const auto damage = CheckRootDirectory(file, {kCiffHeaderSize, kHeapEnd}, ByteOrder::Little);
    return damage ? std::optional(damage->fault) : std::nullopt;
  };
  EXPECT_EQ(check(CiffBuilder().HeapEnd(kHeapEnd).RootCount(0)), HeapFault::EntryCount);
  EXPECT_EQ(check(CiffBuilder().HeapEnd(kHeapEnd).RootCount(4)), HeapFault::DirectoryMisplaced);
  EXPECT_EQ(check(CiffBuilder().HeapEnd(kHeapEnd).Root({ImageData(), WithOffset(PreviewJpeg(), RootPointer(2))})),
            HeapFault::DataOutside);
  EXPECT_EQ(check(CiffBuilder().HeapEnd(kHeapEnd).Root({ImageData(), Value(0x8006, {})})), HeapFault::UnknownStorage);
}

TEST(HeapReaderTime, TheCaptureTimeReadsAsTheCamerasClockShowedIt) {
  EXPECT_EQ(CaptureTimeText(0), "1970-01-01T00:00:00");
  EXPECT_EQ(CaptureTimeText(kSampleCaptureTime), "2005-04-23T17:54:36");
  EXPECT_EQ(CaptureTimeText(951782400), "2000-02-29T00:00:00");
  EXPECT_EQ(CaptureTimeText(951868799), "2000-02-29T23:59:59");
  EXPECT_EQ(CaptureTimeText(951868800), "2000-03-01T00:00:00");
  EXPECT_EQ(CaptureTimeText(0xFFFFFFFFu), "2106-02-07T06:28:15");
}

}  // namespace
}  // namespace tailmend::test

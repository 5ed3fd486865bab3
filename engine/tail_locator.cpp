#include "engine/tail_locator.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <exception>
#include <optional>
#include <span>
#include <vector>

#include "engine/file_bytes.h"
#include "engine/heap_reader.h"
#include "platform/platform_error.h"

namespace tailmend {

namespace {

using Bytes = std::vector<unsigned char>;

// The distance from a root directory's pointer to the end of its heap, the file header included,
// is 32 + 10n for a root of n = 2..8 entries: one of 52, 62, ..., 112.
constexpr std::uint32_t kDistanceAbove = 50;
constexpr std::uint32_t kDistanceBelow = 120;

// Canon's recipe trailer: a 28-byte header (a signature, four bytes, the length of the records as a
// big-endian u32), the records, and a 64-byte footer (the signature, the same length, and the root
// pointer repeated in its last four bytes). The signature includes its terminating zero.
constexpr std::array<char, 20> kTrailerSignature{"CANON OPTIONAL DATA"};
constexpr std::uint32_t kTrailerHeaderSize = 28;
constexpr std::uint32_t kTrailerHeaderLengthAt = 24;
constexpr std::uint32_t kTrailerFooterSize = 64;
constexpr std::uint32_t kTrailerFooterLengthAt = 20;

// The scan reads the file's end first in a block of this size, whatever the file's size: large
// enough that system calls cost little beside the copying, small enough that a scan stopping in it
// reads less than 64 KiB beyond the junk.
constexpr std::uint32_t kScanBlockSize = 60 * 1024;
// Once the first block held no heap end, the junk is long: the blocks double, so that the disk
// gets half as many requests, and a scan still reads less than 128 KiB beyond the junk.
constexpr std::uint32_t kLargeScanBlockSize = 2 * kScanBlockSize;
// Blocks start on page boundaries, where the system reads from.
constexpr std::uint32_t kPageSize = 4096;
// Positions tested together by the quick pre-test; far fewer than the 65,536 positions over which
// the upper half of a nearby pointer stays the same.
constexpr std::uint32_t kChunkPositions = 128;

// True when the file's own last four bytes point to a directory that ends exactly at the end of
// the file, whatever its number of entries.
bool EndsWithCompleteDirectory(FileBytes& file, std::uint32_t lastPointer, ByteOrder order) {
  const std::uint64_t size = file.Size();
  // A directory that would start too near the end reads as zeros past the end and cannot close it.
  const std::uint64_t directory = kCiffHeaderSize + std::uint64_t{lastPointer};
  const std::uint64_t entries = file.U16At(directory, order);
  return directory + kDirectoryCountSize + kDirectoryEntrySize * entries + kPointerSize == size;
}

// The pointer before a position in [first, first + kChunkPositions) lies less than kDistanceBelow
// and more than kDistanceAbove bytes back, so its upper 16 bits are those of one of that range's
// two ends. One compare of two bytes per position rules out almost all of junk and image data.
bool ChunkMayHoldHeapEnd(const unsigned char* window, std::uint32_t windowStart, std::uint32_t first,
                         ByteOrder order) {
  // Where, relative to a position, the most significant byte of the pointer before it and the
  // next one lie.
  const std::uint32_t mostBack = order == ByteOrder::Little ? 1 : 4;
  const std::uint32_t nextBack = order == ByteOrder::Little ? 2 : 3;
  const unsigned char* most = window + (first - mostBack - windowStart);
  const unsigned char* next = window + (first - nextBack - windowStart);
  const auto holdsUpperHalf = [&](std::uint32_t pointer) {
    const auto mostByte = static_cast<unsigned char>(pointer >> 24);
    const auto nextByte = static_cast<unsigned char>(pointer >> 16);
    unsigned char any = 0;
    for (std::uint32_t k = 0; k < kChunkPositions; ++k) any |= (most[k] == mostByte) & (next[k] == nextByte);
    return any != 0;
  };
  const std::uint32_t lowestPointer = first - (kDistanceBelow - 1);
  const std::uint32_t highestPointer = first + kChunkPositions - 1 - (kDistanceAbove + 1);
  return holdsUpperHalf(lowestPointer) ||
         ((highestPointer >> 16) != (lowestPointer >> 16) && holdsUpperHalf(highestPointer));
}

// The highest of the positions low..high that passes, in a window that holds the file's bytes
// from windowStart (= low - 4) to high.
std::optional<std::uint32_t> HighestPlausibleInWindow(const Bytes& window, std::uint32_t windowStart,
                                                      std::uint32_t low, std::uint32_t high, ByteOrder order) {
  for (std::uint32_t top = high;;) {
    const bool wholeChunk = top - low >= kChunkPositions - 1;
    const std::uint32_t bottom = wholeChunk ? top - (kChunkPositions - 1) : low;
    if (!wholeChunk || ChunkMayHoldHeapEnd(window.data(), windowStart, bottom, order)) {
      for (std::uint32_t position = top;; --position) {
        const unsigned char* before = window.data() + (position - kPointerSize - windowStart);
        if (IsPlausibleHeapEnd(position, DecodeU32(before, order))) return position;
        if (position == bottom) break;
      }
    }
    if (bottom == low) return std::nullopt;
    top = bottom - 1;
  }
}

// Tests positions from the end of the file down to the scan floor, one block at a time, and
// returns those that pass, highest first. A pointer across a block boundary needs three bytes of
// the block above: they are kept, not read again. Reading backwards defeats the system's own
// read-ahead, which follows reads forwards, so each block waits for the disk: the scan asks for
// the block below the one it reads before reading it, and the disk fetches both at once.
class PlausibleHeapEnds {
public:
  // inMemory: what AskForFirstBlock answered.
  PlausibleHeapEnds(FileBytes& file, ByteOrder order, bool inMemory)
      : file_(file), order_(order), window_(kLargeScanBlockSize + kCarriedBytes), next_(file.Size() - 1),
        hintedFrom_(FirstBlockStart(file.Size())), inMemory_(inMemory) {}

  // Asks for the first block, the file's end, before anything else is read: the disk may fetch it
  // while the mark at the start is read. A file readable as it stands needs only its last bytes;
  // the rest of its block comes alongside. True when the block is in memory already: the file's
  // end most likely is, and the scan asks for nothing more.
  static bool AskForFirstBlock(FileBytes& file) {
    const std::uint32_t start = FirstBlockStart(file.Size());
    return start < file.Size() && file.WillRead(start, file.Size() - start);
  }

  // The next position that passes, below the one returned before.
  std::optional<std::uint32_t> Next() {
    for (;;) {
      if (!loaded_ || next_ < low_) {
        if (loaded_ && low_ == kScanFloor) return std::nullopt;
        LoadBlockBelow();
      }
      if (const auto found = HighestPlausibleInWindow(window_, windowStart_, low_, next_, order_)) {
        next_ = *found - 1;
        return found;
      }
      next_ = low_ - 1;
    }
  }

private:
  static constexpr std::uint32_t kCarriedBytes = kPointerSize - 1;
  static constexpr std::uint32_t kLowestStart = kScanFloor - kPointerSize;

  FileBytes& file_;
  ByteOrder order_;
  Bytes window_;
  // The window holds the file's bytes from windowStart_ up to the highest position it tests, and
  // tests positions low_ to next_ of them.
  std::uint32_t windowStart_ = 0;
  std::uint32_t low_ = 0;
  std::uint32_t next_;
  bool loaded_ = false;
  // The bytes from here to the end of the file have been asked for ahead of their reads.
  std::uint32_t hintedFrom_;
  // Hints are spent on a file whose end is in memory, as after its scan from the disk, or where
  // it was just written: asking costs the system a look at every page.
  bool inMemory_;

  // Where the block that holds the bytes up to end, of the given size, starts.
  static std::uint32_t BlockStart(std::uint32_t end, std::uint32_t size) {
    const std::uint32_t lowest = end > size ? end - size : 0;
    return std::max(kLowestStart, (lowest + kPageSize - 1) / kPageSize * kPageSize);
  }

  // The first block holds the positions from the size minus one down.
  static std::uint32_t FirstBlockStart(std::uint32_t size) {
    return BlockStart(size - 1 - kCarriedBytes, kScanBlockSize);
  }

  // The block that holds the positions from next_ down.
  void LoadBlockBelow() {
    const std::uint32_t high = next_;
    // The window's bytes from here to high come from the block above, at the window's start.
    const std::uint32_t carriedFrom = loaded_ ? windowStart_ : high;
    windowStart_ = BlockStart(high - kCarriedBytes, loaded_ ? kLargeScanBlockSize : kScanBlockSize);
    AskForBlockBelow();
    std::memmove(window_.data() + (carriedFrom - windowStart_), window_.data(), high - carriedFrom);
    file_.Read(windowStart_, std::span(window_).first(carriedFrom - windowStart_));
    low_ = windowStart_ + kPointerSize;
    loaded_ = true;
  }

  // Below the lowest block, BlockStart gives the block itself, and nothing is asked for.
  void AskForBlockBelow() {
    if (inMemory_) return;
    // The next block holds the positions from windowStart_ + 3 down (see LoadBlockBelow).
    const std::uint32_t below = BlockStart(windowStart_, kLargeScanBlockSize);
    const std::uint32_t to = std::min(hintedFrom_, windowStart_);
    if (below < to) inMemory_ = file_.WillRead(below, to - below);
    hintedFrom_ = std::min(hintedFrom_, below);
  }
};

}  // namespace

// A stored value above the position wraps round to a huge distance.
bool IsPlausibleHeapEnd(std::uint32_t position, std::uint32_t storedPointer) {
  const std::uint32_t distance = position - storedPointer;
  return distance > kDistanceAbove && distance < kDistanceBelow && distance % 10 == 2;
}

bool EndsWithRootHeap(FileBytes& file, std::uint32_t lastPointer, ByteOrder order) {
  return IsPlausibleHeapEnd(file.Size(), lastPointer) || EndsWithCompleteDirectory(file, lastPointer, order);
}

std::optional<std::uint32_t> RecipeTrailerEnd(FileBytes& file, std::uint32_t heapEnd, std::uint32_t rootPointer,
                                              ByteOrder order) {
  std::array<unsigned char, kTrailerHeaderSize> header{};
  file.Read(heapEnd, header);
  if (std::memcmp(header.data(), kTrailerSignature.data(), kTrailerSignature.size()) != 0) return std::nullopt;
  const std::uint32_t length = DecodeU32(header.data() + kTrailerHeaderLengthAt, ByteOrder::Big);
  const std::uint64_t end = std::uint64_t{heapEnd} + kTrailerHeaderSize + length + kTrailerFooterSize;
  if (end > file.Size()) return std::nullopt;
  std::array<unsigned char, kTrailerFooterSize> footer{};
  file.Read(end - kTrailerFooterSize, footer);
  // The footer's other bytes are zeros in the trailers seen, but readers do not check them.
  const bool wellFormed =
      std::memcmp(footer.data(), kTrailerSignature.data(), kTrailerSignature.size()) == 0 &&
      DecodeU32(footer.data() + kTrailerFooterLengthAt, ByteOrder::Big) == length &&
      DecodeU32(footer.data() + kTrailerFooterSize - kPointerSize, order) == rootPointer;
  if (!wellFormed) return std::nullopt;
  return static_cast<std::uint32_t>(end);
}

namespace {

// The byte order of a CIFF header raw readers read as this scan does, or why the file has none: a
// TIFF-based raw file starts with the same mark, and a heap that starts at another length than
// 26 is not the one whose end the scan would find.
struct Header {
  ByteOrder order = ByteOrder::Little;
  std::optional<TailFinding> refusal;
};

Header ReadHeader(FileBytes& file) {
  std::array<unsigned char, kSignatureAt + kHeapSignature.size()> bytes{};
  file.Read(0, bytes);
  Header header;
  if (std::memcmp(bytes.data(), "MM", 2) == 0) {
    header.order = ByteOrder::Big;
  } else if (std::memcmp(bytes.data(), "II", 2) != 0) {
    header.refusal = TailFinding::NoMark;
    return header;
  }
  if (std::memcmp(bytes.data() + kSignatureAt, kHeapSignature.data(), kHeapSignature.size()) != 0) {
    header.refusal = TailFinding::NoSignature;
  } else if (DecodeU32(bytes.data() + kHeaderLengthAt, header.order) != kCiffHeaderSize) {
    header.refusal = TailFinding::UnexpectedHeaderLength;
  }
  return header;
}

// What the scan of a file with a mark found.
struct Scan {
  TailFinding finding;
  TailResult tail;
  std::uint32_t heapEnd = 0;
};

Scan ScanForHeapEnd(FileBytes& file, ByteOrder order, bool inMemory) {
  const std::uint32_t size = file.Size();
  // The highest position tested is the size minus one: the file's own end is never a candidate.
  if (size - 1 < kScanFloor) return Scan{TailFinding::BelowScanFloor, kTailNotFound};
  const std::uint32_t lastPointer = file.U32Before(size, order);
  // A file that is readable as it stands has no tail, however its image data happens to look.
  if (EndsWithRootHeap(file, lastPointer, order)) {
    return Scan{TailFinding::EndsWithRootPointer, kTailNotFound, size};
  }
  PlausibleHeapEnds candidates(file, order, inMemory);
  bool anyPlausible = false;
  while (const auto heapEnd = candidates.Next()) {
    anyPlausible = true;
    const std::uint32_t rootPointer = file.U32Before(*heapEnd, order);
    // A file that ends with the root pointer repeated, as Canon's recipe trailer does, is opened by
    // readers as it stands.
    if (rootPointer == lastPointer) return Scan{TailFinding::EndsWithCopiedPointer, kTailNotFound, *heapEnd};
    // Cut where no reader can read the root directory, the file would open no better than before.
    if (CheckRootDirectory(file, {static_cast<std::uint32_t>(kCiffHeaderSize), *heapEnd}, order)) continue;
    // Junk after a complete recipe trailer goes, the trailer and the user's edits in it stay.
    if (const auto trailerEnd = RecipeTrailerEnd(file, *heapEnd, rootPointer, order)) {
      return Scan{TailFinding::TrailerEnd, static_cast<TailResult>(*trailerEnd), *heapEnd};
    }
    return Scan{TailFinding::HeapEnd, static_cast<TailResult>(*heapEnd), *heapEnd};
  }
  return Scan{anyPlausible ? TailFinding::NoReadableRoot : TailFinding::NoPlausibleEnd, kTailNotFound};
}

}  // namespace

TailSearch SearchFileTail(Stream& stream) {
  TailSearch search;
  try {
    search.size = stream.Size();
    const auto invalid = [&](TailFinding finding) {
      search.finding = finding;
      search.tail = kTailInvalidFile;
      return search;
    };
    if (search.size < kMinFileSize) return invalid(TailFinding::TooSmall);
    if (search.size >= kMaxFileSize) return invalid(TailFinding::TooLarge);
    FileBytes file(stream, static_cast<std::uint32_t>(search.size));
    const bool inMemory = PlausibleHeapEnds::AskForFirstBlock(file);
    const Header header = ReadHeader(file);
    if (header.refusal) return invalid(*header.refusal);
    const Scan scan = ScanForHeapEnd(file, header.order, inMemory);
    search.tail = scan.tail;
    search.finding = scan.finding;
    search.order = header.order;
    search.heapEnd = scan.heapEnd;
  } catch (const std::exception& error) {
    search.failureReason = FailureReasonOf(error);
  }
  return search;
}

TailResult FindFileTail(Stream& stream) { return SearchFileTail(stream).tail; }

}  // namespace tailmend

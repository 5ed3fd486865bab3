#include "engine/tail_locator.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <exception>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <span>

#include "engine/file_bytes.h"
#include "engine/heap_reader.h"
#include "platform/platform_error.h"

namespace tailmend {

namespace {

// Camera roots hold 2 to 8 entries. The distance from a root directory's pointer to the end of
// its heap, the file header included, is 32 + 10n for a root of n entries: one of 52, 62, ..., 112.
constexpr std::uint32_t kFewestRootEntries = 2;
constexpr std::uint32_t kMostRootEntries = 8;
constexpr std::uint32_t RootDistance(std::uint32_t entries) {
  return static_cast<std::uint32_t>(kCiffHeaderSize) + kDirectoryCountSize + kDirectoryEntrySize * entries +
         kPointerSize;
}
constexpr std::uint32_t kShortestRootDistance = RootDistance(kFewestRootEntries);
constexpr std::uint32_t kLargestRootDistance = RootDistance(kMostRootEntries);

// Canon's recipe trailer: a 28-byte header (a signature, four bytes, the length of the records as a
// big-endian u32), the records, and a 64-byte footer (the signature, the same length, and the root
// pointer repeated in its last four bytes). The signature includes its terminating zero.
constexpr std::array<char, 20> kTrailerSignature{"CANON OPTIONAL DATA"};
constexpr std::uint32_t kTrailerHeaderSize = 28;
constexpr std::uint32_t kTrailerHeaderLengthAt = 24;
constexpr std::uint32_t kTrailerFooterSize = 64;
constexpr std::uint32_t kTrailerFooterLengthAt = 20;

// The scan reads the end of the file in windows that grow downwards from it: the last 64 KiB,
// which holds the heap end of most damaged files and the root directory of a healthy one, then the
// 1 MiB below, then twice as much each time up to 2 MiB; long junk costs few requests, and memory
// stays bounded whatever its length. Larger windows spared cold reads nothing measurable and cost
// warm scans of long junk a quarter more, their bytes no longer in the processor's cache.
constexpr std::uint32_t kFirstWindow = 64 * 1024;
constexpr std::uint32_t kSecondWindow = 1024 * 1024;
constexpr std::uint32_t kLargestWindow = 2 * 1024 * 1024;
// A window below the first is asked for at once in pieces, from the top down, each piece read
// forwards, in the direction in which the system and the disk read ahead; the scan tests the
// positions of a piece while the disk delivers those below it. Read as one piece, a window came
// whole before its top position could be tested: a check of files not in memory took a tenth
// longer. Where the system takes no hints, a piece would be a request of its own to the disk, and
// a window is read whole. The first window is smaller than a piece.
constexpr std::uint32_t kPiece = 256 * 1024;
// Windows start on page boundaries, where the system reads from.
constexpr std::uint32_t kPageSize = 4096;
// A position's root directory starts at most this far below it: its pointer, counted from the
// heap's start after the file header, lies at most kLargestRootDistance bytes below. A window keeps
// the bytes of the one above it that the positions below need, so that every position it tests
// has its root directory in memory.
constexpr auto kDirectoryReach = static_cast<std::uint32_t>(kLargestRootDistance - kCiffHeaderSize);
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

// The pointer before a position in [first, first + kChunkPositions) lies kShortestRootDistance to
// kLargestRootDistance bytes back, so its upper 16 bits are those of one of that range's
// two ends. One compare of two bytes per position rules out almost all of junk and image data.
template <ByteOrder kOrder>
bool ChunkMayHoldHeapEnd(const unsigned char* window, std::uint32_t windowStart, std::uint32_t first) {
  // Where, relative to a position, the most significant byte of the pointer before it and the
  // next one lie.
  constexpr std::uint32_t kMostBack = kOrder == ByteOrder::Little ? 1 : 4;
  constexpr std::uint32_t kNextBack = kOrder == ByteOrder::Little ? 2 : 3;
  const unsigned char* most = window + (first - kMostBack - windowStart);
  const unsigned char* next = window + (first - kNextBack - windowStart);
  const auto holdsUpperHalf = [&](std::uint32_t pointer) {
    const auto mostByte = static_cast<unsigned char>(pointer >> 24);
    const auto nextByte = static_cast<unsigned char>(pointer >> 16);
    unsigned char any = 0;
    for (std::uint32_t k = 0; k < kChunkPositions; ++k) any |= (most[k] == mostByte) & (next[k] == nextByte);
    return any != 0;
  };
  const std::uint32_t lowestPointer = first - kLargestRootDistance;
  const std::uint32_t highestPointer = first + kChunkPositions - 1 - kShortestRootDistance;
  return holdsUpperHalf(lowestPointer) ||
         ((highestPointer >> 16) != (lowestPointer >> 16) && holdsUpperHalf(highestPointer));
}

// A position that passes the distance test, and the pointer before it.
struct PlausibleEnd {
  std::uint32_t position;
  std::uint32_t rootPointer;
};

// A root directory ends exactly at its heap end only with the entry count that the distance from
// its pointer gives, so one of another count fails CheckRootDirectory whatever else it holds. Junk
// can be made of passing positions by the million: this look at two bytes passes over them. The
// window holds the directory (kDirectoryReach).
template <ByteOrder kOrder>
bool CountFitsDistance(const unsigned char* window, std::uint32_t windowStart, const PlausibleEnd& end) {
  const std::uint32_t directory = static_cast<std::uint32_t>(kCiffHeaderSize) + end.rootPointer;
  const std::uint32_t entries = (end.position - end.rootPointer - RootDistance(0)) / kDirectoryEntrySize;
  return DecodeU16(window + (directory - windowStart), kOrder) == entries;
}

// What a chunk of positions holds.
struct ChunkCandidates {
  // Some position passed the distance test.
  bool anyPlausible = false;
  // Those worth a look at their root directory, highest first: their count fits the distance, or
  // their pointer is the one the file ends with.
  std::size_t count = 0;
};

// A position is a candidate only where the pointer before it is the file's last one, or where the
// directory it points to starts with the count its distance gives: 2 to 8 entries, kDirectoryReach
// to kShortestRootDistance - kCiffHeaderSize bytes below it. Once some position has passed the
// distance test, a chunk with no such count in its reach, and no position the last pointer can
// stand before, is passed over however many of its positions pass: junk made of them costs no
// more than any other.
template <ByteOrder kOrder>
bool ChunkMayHoldCandidate(const unsigned char* window, std::uint32_t windowStart, std::uint32_t bottom,
                           std::uint32_t lastPointer) {
  // The counts of the chunk's positions start in the first kChunkPositions + 60 bytes of its reach;
  // a few more are looked at, so that the compiler can test sixteen at a time.
  constexpr std::uint32_t kCountReach = kChunkPositions + 64;
  if (std::uint64_t{lastPointer} + kLargestRootDistance >= bottom &&
      std::uint64_t{lastPointer} + kShortestRootDistance < std::uint64_t{bottom} + kChunkPositions) {
    return true;
  }
  // The count's low byte comes first in a little-endian file.
  constexpr std::uint32_t kLowByte = kOrder == ByteOrder::Little ? 0 : 1;
  const unsigned char* counts = window + (bottom - kDirectoryReach - windowStart);
  unsigned char any = 0;
  for (std::uint32_t k = 0; k < kCountReach; ++k) {
    any |= (static_cast<unsigned char>(counts[k + kLowByte] - kFewestRootEntries) <=
            kMostRootEntries - kFewestRootEntries) &
           (counts[k + 1 - kLowByte] == 0);
  }
  return any != 0;
}

// Tests the positions of a chunk, top down to bottom, whose bytes from bottom - kDirectoryReach to
// top - 1 the window holds.
template <ByteOrder kOrder>
ChunkCandidates TestChunk(const HeldBytes& held, std::uint32_t bottom, std::uint32_t top, std::uint32_t lastPointer,
                          bool plausibleSeen, std::array<PlausibleEnd, kChunkPositions>& found) {
  const unsigned char* window = held.bytes.data();
  const auto windowStart = static_cast<std::uint32_t>(held.from);
  ChunkCandidates chunk;
  if (top - bottom == kChunkPositions - 1 &&
      (!ChunkMayHoldHeapEnd<kOrder>(window, windowStart, bottom) ||
       (plausibleSeen && !ChunkMayHoldCandidate<kOrder>(window, windowStart, bottom, lastPointer)))) {
    return chunk;
  }
  for (std::uint32_t position = top;; --position) {
    const PlausibleEnd end{position, DecodeU32(window + (position - kPointerSize - windowStart), kOrder)};
    if (IsPlausibleHeapEnd(position, end.rootPointer)) {
      chunk.anyPlausible = true;
      if (end.rootPointer == lastPointer || CountFitsDistance<kOrder>(window, windowStart, end)) {
        found[chunk.count++] = end;
      }
    }
    if (position == bottom) return chunk;
  }
}

// The memory of the scan's windows. It starts on a page, as the windows do in the file: the
// system copies from its cache into memory so aligned a tenth faster than into memory 16 bytes
// past a page. A scan takes the block the last one gave back and gives its own back at its end:
// Windows gives a freed block of a megabyte back to the system, and one taken anew for every file
// cost a page fault for each of its pages, a third more time for a check of files from the cache
// under Wine. Scans on several threads at once have a block each, and the largest is kept.
class WindowMemory {
public:
  WindowMemory() {
    const std::lock_guard lock(spareLock_);
    std::swap(block_, spare_);
  }
  ~WindowMemory() {
    const std::lock_guard lock(spareLock_);
    if (block_.capacity > spare_.capacity) std::swap(block_, spare_);
  }
  WindowMemory(const WindowMemory&) = delete;
  WindowMemory& operator=(const WindowMemory&) = delete;

  unsigned char* Bytes() const { return block_.bytes.get(); }
  std::size_t Capacity() const { return block_.capacity; }

  // Makes room for capacity bytes, with the first count bytes moved to offset to.
  void Grow(std::size_t capacity, std::size_t count, std::size_t to) {
    std::unique_ptr<unsigned char[], PageFree> larger(new (std::align_val_t{kPageSize}) unsigned char[capacity]);
    std::copy_n(block_.bytes.get(), count, larger.get() + to);
    block_.bytes = std::move(larger);
    block_.capacity = capacity;
  }

private:
  struct PageFree {
    void operator()(unsigned char* bytes) const { ::operator delete[](bytes, std::align_val_t{kPageSize}); }
  };
  struct Block {
    std::unique_ptr<unsigned char[], PageFree> bytes;
    std::size_t capacity;
  };

  static std::mutex spareLock_;
  static Block spare_;
  Block block_{nullptr, 0};
};

std::mutex WindowMemory::spareLock_;
WindowMemory::Block WindowMemory::spare_{nullptr, 0};

// Tests positions from the end of the file down to the scan floor, one window at a time (see
// kFirstWindow), and returns the candidates among them (ChunkCandidates), highest first. A stop
// asked for is honoured before each window below the first: nothing has been decided yet.
class HeapEndCandidates {
public:
  // Reads the first window, which holds the file's last bytes; the windows below are read in pieces
  // where the system took the hint that asked for it (AskForFirstWindow).
  HeapEndCandidates(FileBytes& file, ByteOrder order, bool hintTaken, const StopRequest& stop)
      : file_(file), order_(order), stop_(stop), piece_(hintTaken ? kPiece : kLargestWindow) {
    const std::uint32_t size = file.Size();
    Place(WindowStart(size, kFirstWindow), size);
    ReadPieceBelow();
    next_ = size - 1;
    lastPointer_ = PointerBefore(size);
  }

  // Asks for the first window before anything else is read: the disk may fetch it while the mark
  // at the start is read. False where the system takes no hints, or the file is not scanned.
  static bool AskForFirstWindow(FileBytes& file) {
    const std::uint32_t size = file.Size();
    if (size <= kFloor) return false;
    const std::uint32_t start = WindowStart(size, kFirstWindow);
    return file.WillRead(start, size - start);
  }

  // The bytes in memory: the root directory of the position returned last lies in them.
  HeldBytes Held() const {
    return {heldFrom_, std::span(window_.Bytes() + (heldFrom_ - windowStart_), heldEnd_ - heldFrom_)};
  }

  // The pointer in the file's last four bytes.
  std::uint32_t LastPointer() const { return lastPointer_; }

  // The candidates of the next chunk below that has any; none once the scan floor is passed or a
  // stop was asked for.
  std::span<const PlausibleEnd> Next() {
    for (;;) {
      if (next_ >= low_) {
        if (const std::size_t count = TestNextChunk()) return std::span(found_).first(count);
      } else if (low_ == kFloor) {
        return {};
      } else if (heldFrom_ > windowStart_) {
        ReadPieceBelow();
      } else if (stop_ && stop_()) {
        stopped_ = true;
        return {};
      } else {
        LoadBelow();
      }
    }
  }

  // True when Next ended for a stop, not at the scan floor.
  bool Stopped() const { return stopped_; }
  // True when some position tested passed the distance test.
  bool AnyPlausible() const { return anyPlausible_; }

private:
  // The lowest byte a position at the scan floor needs.
  static constexpr auto kLowestStart = static_cast<std::uint32_t>(kScanFloor - kDirectoryReach);
  static constexpr auto kFloor = static_cast<std::uint32_t>(kScanFloor);

  FileBytes& file_;
  ByteOrder order_;
  const StopRequest& stop_;
  // The window's memory starts with the file's byte at windowStart_; it holds those from heldFrom_
  // to heldEnd_, the pieces read so far. The positions from low_ to next_ are still to be tested in
  // them.
  WindowMemory window_;
  std::uint32_t windowStart_ = 0;
  std::uint32_t heldFrom_ = 0;
  std::uint32_t heldEnd_ = 0;
  // The size of the pieces a window is read in: kLargestWindow reads each whole.
  std::uint32_t piece_;
  std::uint32_t low_ = 0;
  std::uint32_t next_ = 0;
  std::uint32_t nextWindow_ = kSecondWindow;
  std::uint32_t lastPointer_ = 0;
  bool stopped_ = false;
  bool anyPlausible_ = false;
  // The candidates of the chunk tested last.
  std::array<PlausibleEnd, kChunkPositions> found_{};

  // Where a window of the given size below end starts.
  static std::uint32_t WindowStart(std::uint32_t end, std::uint32_t size) {
    const std::uint32_t lowest = end > size ? end - size : 0;
    return std::max(kLowestStart, lowest / kPageSize * kPageSize);
  }

  // Tests the chunk of positions from next_ down; returns how many candidates it holds.
  std::size_t TestNextChunk() {
    const std::uint32_t bottom = next_ - low_ >= kChunkPositions - 1 ? next_ - (kChunkPositions - 1) : low_;
    const ChunkCandidates chunk =
        order_ == ByteOrder::Big
            ? TestChunk<ByteOrder::Big>(Held(), bottom, next_, lastPointer_, anyPlausible_, found_)
            : TestChunk<ByteOrder::Little>(Held(), bottom, next_, lastPointer_, anyPlausible_, found_);
    anyPlausible_ = anyPlausible_ || chunk.anyPlausible;
    next_ = bottom - 1;
    return chunk.count;
  }

  std::uint32_t PointerBefore(std::uint32_t position) const {
    return DecodeU32(window_.Bytes() + (position - kPointerSize - windowStart_), order_);
  }

  // The window that tests the positions below low_: it keeps the bytes of this one that they need.
  void LoadBelow() {
    next_ = low_ - 1;
    const std::uint32_t start = WindowStart(windowStart_, nextWindow_);
    Place(start, low_ - 1);
    if (piece_ == kPiece) AskInPieces();
    ReadPieceBelow();
    nextWindow_ = std::min(2 * nextWindow_, kLargestWindow);
  }

  // Makes the window memory stand for the file's bytes from start to end, with those of the window
  // above that it holds already moved into place (a window below is placed only once the one above
  // is read whole: they start its memory); the others are still to be read.
  void Place(std::uint32_t start, std::uint32_t end) {
    const std::uint32_t kept = heldEnd_ == 0 ? 0 : end - heldFrom_;
    const std::uint32_t readEnd = end - kept;
    if (end - start > window_.Capacity()) {
      window_.Grow(end - start, kept, readEnd - start);
    } else {
      std::memmove(window_.Bytes() + (readEnd - start), window_.Bytes(), kept);
    }
    windowStart_ = start;
    heldFrom_ = readEnd;
    heldEnd_ = end;
  }

  // Where the piece of the window that ends at top starts.
  std::uint32_t PieceStart(std::uint32_t top) const { return top - std::min(piece_, top - windowStart_); }

  // Asks for the window's bytes still to be read, a piece at a time, the top one first.
  void AskInPieces() {
    for (std::uint32_t top = heldFrom_; top > windowStart_; top = PieceStart(top)) {
      file_.WillRead(PieceStart(top), top - PieceStart(top));
    }
  }

  // Reads the piece of the window below the bytes held, with one call.
  void ReadPieceBelow() {
    const std::uint32_t from = PieceStart(heldFrom_);
    file_.Read(from, std::span(window_.Bytes() + (from - windowStart_), heldFrom_ - from));
    heldFrom_ = from;
    low_ = std::max(kFloor, from + kDirectoryReach);
  }
};

}  // namespace

// A stored value above the position wraps round to a huge distance.
bool IsPlausibleHeapEnd(std::uint32_t position, std::uint32_t storedPointer) {
  const std::uint32_t distance = position - storedPointer;
  return distance >= kShortestRootDistance && distance <= kLargestRootDistance &&
         (distance - kShortestRootDistance) % kDirectoryEntrySize == 0;
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

Scan ScanForHeapEnd(FileBytes& file, ByteOrder order, bool hintTaken, const StopRequest& stop) {
  const std::uint32_t size = file.Size();
  // The highest position tested is the size minus one: the file's own end is never a candidate.
  if (size - 1 < kScanFloor) return Scan{TailFinding::BelowScanFloor, kTailNotFound};
  HeapEndCandidates candidates(file, order, hintTaken, stop);
  const std::uint32_t lastPointer = candidates.LastPointer();
  // A file that is readable as it stands has no tail, however its image data happens to look.
  if (EndsWithRootHeap(file, lastPointer, order)) {
    return Scan{TailFinding::EndsWithRootPointer, kTailNotFound, size};
  }
  for (auto passing = candidates.Next(); !passing.empty(); passing = candidates.Next()) {
    for (const PlausibleEnd& candidate : passing) {
      const std::uint32_t heapEnd = candidate.position;
      // A file that ends with the root pointer repeated, as Canon's recipe trailer does, is opened
      // by readers as it stands.
      if (candidate.rootPointer == lastPointer) return Scan{TailFinding::EndsWithCopiedPointer, kTailNotFound, heapEnd};
      // Cut where no reader can read the root directory, the file would open no better than before.
      const HeapRange root{static_cast<std::uint32_t>(kCiffHeaderSize), heapEnd};
      if (CheckRootDirectory(file, root, order, candidates.Held())) continue;
      // Junk after a complete recipe trailer goes, the trailer and the user's edits in it stay.
      if (const auto trailerEnd = RecipeTrailerEnd(file, heapEnd, candidate.rootPointer, order)) {
        return Scan{TailFinding::TrailerEnd, static_cast<TailResult>(*trailerEnd), heapEnd};
      }
      return Scan{TailFinding::HeapEnd, static_cast<TailResult>(heapEnd), heapEnd};
    }
  }
  if (candidates.Stopped()) return Scan{TailFinding::Stopped, kTailUnknownError};
  return Scan{candidates.AnyPlausible() ? TailFinding::NoReadableRoot : TailFinding::NoPlausibleEnd, kTailNotFound};
}

}  // namespace

TailSearch SearchFileTail(Stream& stream, const StopRequest& stop) {
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
    const bool hintTaken = HeapEndCandidates::AskForFirstWindow(file);
    const Header header = ReadHeader(file);
    if (header.refusal) return invalid(*header.refusal);
    const Scan scan = ScanForHeapEnd(file, header.order, hintTaken, stop);
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

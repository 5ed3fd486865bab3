#include "engine/tail_locator.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <exception>
#include <optional>
#include <span>
#include <vector>

#include "platform/platform_error.h"

namespace tailmend {

namespace {

using Bytes = std::vector<unsigned char>;

enum class ByteOrder { Little, Big };

// A CIFF directory is a 2-byte entry count, 10-byte entries, then the 4-byte pointer back to it.
constexpr std::uint32_t kDirectoryCountSize = 2;
constexpr std::uint32_t kDirectoryEntrySize = 10;
constexpr std::uint32_t kPointerSize = 4;

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

// The scan holds this much of the file at a time, whatever the file's size: large enough that
// system calls cost little beside the copying, small enough that a scan stopping right after a
// block boundary reads less than 64 KiB beyond the junk. A multiple of the 4 KiB page.
constexpr std::uint32_t kScanBlockSize = 60 * 1024;
// Positions tested together by the quick pre-test; far fewer than the 65,536 positions over which
// the upper half of a nearby pointer stays the same.
constexpr std::uint32_t kChunkPositions = 128;

// The file as one zero-filled buffer of the size taken at the start would hold it after one
// read of the whole file, but read only where asked: a read that falls short leaves the bytes it
// did not deliver zero, exactly as in that buffer. A read that fails raises PlatformError: bytes
// the system could not read are unknown, not zero, and a scan that went on over them could pass
// the real heap end and cut at a spurious one below it, or lose the healthy-file rules.
class FileBytes {
public:
  FileBytes(Stream& stream, std::uint32_t size) : stream_(stream), size_(size) {}

  std::uint32_t Size() const { return size_; }

  // Bytes from offset on, as many as fit into out; those past the size are zero too.
  void Read(std::uint64_t offset, std::span<unsigned char> out) {
    std::size_t delivered = 0;
    if (offset < size_) {
      const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(out.size(), size_ - offset));
      stream_.Seek(static_cast<std::int64_t>(offset));
      delivered = std::min(stream_.Read(out.data(), count), count);
    }
    std::fill(out.begin() + static_cast<std::ptrdiff_t>(delivered), out.end(), 0);
  }

private:
  Stream& stream_;
  std::uint32_t size_;
};

std::uint32_t DecodeU32(const unsigned char* p, ByteOrder order) {
  if (order == ByteOrder::Big) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
  }
  return (std::uint32_t{p[3]} << 24) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
}

std::uint32_t ReadU32Before(FileBytes& file, std::uint32_t position, ByteOrder order) {
  std::array<unsigned char, kPointerSize> bytes{};
  file.Read(position - kPointerSize, bytes);
  return DecodeU32(bytes.data(), order);
}

std::uint16_t ReadU16At(FileBytes& file, std::uint64_t offset, ByteOrder order) {
  std::array<unsigned char, 2> p{};
  file.Read(offset, p);
  return order == ByteOrder::Big ? static_cast<std::uint16_t>((p[0] << 8) | p[1])
                                 : static_cast<std::uint16_t>((p[1] << 8) | p[0]);
}

// The four bytes before a heap end point back to its directory, a root-sized distance away. A
// stored value above the position wraps round to a huge distance.
bool IsPlausibleHeapEnd(std::uint32_t position, std::uint32_t storedPointer) {
  const std::uint32_t distance = position - storedPointer;
  return distance > kDistanceAbove && distance < kDistanceBelow && distance % 10 == 2;
}

// True when the file's own last four bytes point to a directory that ends exactly at the end of
// the file, whatever its number of entries.
bool EndsWithCompleteDirectory(FileBytes& file, std::uint32_t lastPointer, ByteOrder order) {
  const std::uint64_t size = file.Size();
  // A directory that would start too near the end reads as zeros past the end and cannot close it.
  const std::uint64_t directory = kCiffHeaderSize + std::uint64_t{lastPointer};
  const std::uint64_t entries = ReadU16At(file, directory, order);
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
// returns the first (highest) that passes. Blocks start at multiples of the block size. A pointer
// across a block boundary needs three bytes of the block above: they are kept, not read again.
std::optional<std::uint32_t> HighestPlausibleHeapEnd(FileBytes& file, ByteOrder order) {
  constexpr std::uint32_t kCarriedBytes = kPointerSize - 1;
  Bytes window(kScanBlockSize + kCarriedBytes);
  std::uint32_t high = file.Size() - 1;
  // The window's bytes from here to high come from the block above, at the window's start.
  std::uint32_t carriedFrom = high;
  for (;;) {
    const std::uint32_t aligned = (high - kPointerSize) / kScanBlockSize * kScanBlockSize;
    const std::uint32_t windowStart = std::max<std::uint32_t>(kScanFloor - kPointerSize, aligned);
    std::memmove(window.data() + (carriedFrom - windowStart), window.data(), high - carriedFrom);
    file.Read(windowStart, std::span(window).first(carriedFrom - windowStart));
    const std::uint32_t low = windowStart + kPointerSize;
    if (const auto found = HighestPlausibleInWindow(window, windowStart, low, high, order)) return found;
    if (low == kScanFloor) return std::nullopt;
    high = low - 1;
    carriedFrom = windowStart;
  }
}

// Where a complete, well-formed recipe trailer that starts at heapEnd ends, if there is one.
std::optional<std::uint32_t> TrailerEnd(FileBytes& file, std::uint32_t heapEnd, std::uint32_t rootPointer,
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

std::optional<ByteOrder> ByteOrderOf(FileBytes& file) {
  std::array<unsigned char, 2> mark{};
  file.Read(0, mark);
  if (std::memcmp(mark.data(), "MM", 2) == 0) return ByteOrder::Big;
  if (std::memcmp(mark.data(), "II", 2) == 0) return ByteOrder::Little;
  return std::nullopt;
}

TailResult ScanForHeapEnd(FileBytes& file, ByteOrder order) {
  const std::uint32_t size = file.Size();
  // The highest position tested is the size minus one: the file's own end is never a candidate.
  if (size - 1 < kScanFloor) return kTailNotFound;
  const std::uint32_t lastPointer = ReadU32Before(file, size, order);
  // A file that is readable as it stands has no tail, however its image data happens to look.
  if (IsPlausibleHeapEnd(size, lastPointer) || EndsWithCompleteDirectory(file, lastPointer, order)) {
    return kTailNotFound;
  }
  const auto heapEnd = HighestPlausibleHeapEnd(file, order);
  if (!heapEnd) return kTailNotFound;
  const std::uint32_t rootPointer = ReadU32Before(file, *heapEnd, order);
  // A file that ends with the root pointer repeated, as Canon's recipe trailer does, is opened by
  // readers as it stands.
  if (rootPointer == lastPointer) return kTailNotFound;
  // Junk after a complete recipe trailer goes, the trailer and the user's edits in it stay.
  if (const auto trailerEnd = TrailerEnd(file, *heapEnd, rootPointer, order)) {
    return static_cast<TailResult>(*trailerEnd);
  }
  return static_cast<TailResult>(*heapEnd);
}

}  // namespace

TailResult FindFileTail(Stream& stream) {
  std::string failureReason;
  return FindFileTail(stream, failureReason);
}

TailResult FindFileTail(Stream& stream, std::string& failureReason) {
  TailResult result = kTailUnknownError;
  try {
    const std::int64_t size = stream.Size();
    if (size < kMinFileSize || size >= kMaxFileSize) return kTailInvalidFile;
    FileBytes file(stream, static_cast<std::uint32_t>(size));
    const auto order = ByteOrderOf(file);
    if (!order) return kTailInvalidFile;
    result = ScanForHeapEnd(file, *order);
  } catch (const std::exception& error) {
    failureReason = FailureReasonOf(error);
  }
  return result;
}

}  // namespace tailmend

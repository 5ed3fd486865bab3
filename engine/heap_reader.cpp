#include "engine/heap_reader.h"

#include <algorithm>
#include <cstdio>

#include "platform/platform_error.h"

namespace tailmend {

namespace {

// A tag's top two bits say where its data is: in the heap (at the entry's offset, of its size) or
// in the entry itself (its 8 bytes); readers know no other place.
constexpr std::uint16_t kStorageMask = 0xC000;
constexpr std::uint16_t kStorageInHeap = 0x0000;
constexpr std::uint16_t kStorageInEntry = 0x4000;
// The next three bits are the data's kind; two kinds are directories, whose data is a sub-heap.
constexpr std::uint16_t kKindMask = 0x3800;
constexpr std::uint16_t kKindSubHeap = 0x2800;
constexpr std::uint16_t kKindOtherSubHeap = 0x3000;

// Tags (storage bits included) of the entries read for their content.
constexpr std::uint16_t kPreviewTag = 0x2007;
constexpr std::uint16_t kThumbnailTag = 0x2008;
constexpr std::uint16_t kOriginalFileNameTag = 0x0816;
constexpr std::uint16_t kCaptureTimeTag = 0x180E;

// JPEG's start and end markers.
constexpr unsigned char kMarker = 0xFF;
constexpr unsigned char kStartOfImage = 0xD8;
constexpr unsigned char kEndOfImage = 0xD9;
// The end marker is looked for in this many bytes at the end of the preview: writers pad the
// preview with zeros or FF up to a boundary of their choice, never by more than a sector or two.
constexpr std::size_t kPreviewEndWindow = 4096;

// Cameras store the name in a 32-byte field; longer text is not a name.
constexpr std::size_t kMaxNameLength = 64;

constexpr std::size_t kMaxDirectoryBytes = std::size_t{kMaxDirectoryEntries} * kDirectoryEntrySize;

// A value read through any of the reads below.
template <typename Reads>
std::uint16_t U16At(Reads& reads, std::uint64_t offset, ByteOrder order) {
  std::array<unsigned char, 2> bytes{};
  reads.Read(offset, bytes);
  return DecodeU16(bytes.data(), order);
}

template <typename Reads>
std::uint32_t U32At(Reads& reads, std::uint64_t offset, ByteOrder order) {
  std::array<unsigned char, 4> bytes{};
  reads.Read(offset, bytes);
  return DecodeU32(bytes.data(), order);
}

// The reads of a whole walk are small and close together: a heap's directory, its sub-heaps and
// the values picked out lie just below the heap's end. They are served from a few windows of the
// file; a read outside them loads a window that ends where the read ends and reaches back by up
// to kWindowSize, where the next reads most likely are. Once kExtendedBytes have been loaded, a
// read loads only its own bytes, so that no heap can make the walk read much.
class WindowedReads {
public:
  static constexpr std::size_t kWindowSize = 4096;

  explicit WindowedReads(FileBytes& file) : file_(file) {}

  void Read(std::uint64_t offset, std::span<unsigned char> out) {
    if (out.size() > kWindowSize) return file_.Read(offset, out);
    const std::uint64_t end = offset + out.size();
    for (const Window& window : windows_) {
      if (window.length > 0 && offset >= window.start && end <= window.start + window.length) {
        std::copy_n(window.bytes.begin() + static_cast<std::ptrdiff_t>(offset - window.start), out.size(), out.begin());
        return;
      }
    }
    Window& window = windows_[next_];
    next_ = (next_ + 1) % windows_.size();
    window.length = 0;
    const std::uint64_t reach = extended_ < kExtendedBytes ? kWindowSize : out.size();
    const std::uint64_t start = end > reach ? end - reach : 0;
    file_.Read(start, std::span(window.bytes).first(static_cast<std::size_t>(end - start)));
    window.start = start;
    window.length = static_cast<std::size_t>(end - start);
    extended_ += window.length;
    std::copy_n(window.bytes.begin() + static_cast<std::ptrdiff_t>(offset - window.start), out.size(), out.begin());
  }

private:
  // Beyond this, the walk has met a heap no camera writes.
  static constexpr std::uint64_t kExtendedBytes = std::uint64_t{64} * 1024;

  struct Window {
    std::uint64_t start = 0;
    std::size_t length = 0;
    std::array<unsigned char, kWindowSize> bytes{};
  };

  FileBytes& file_;
  std::array<Window, 3> windows_{};
  std::size_t next_ = 0;
  std::uint64_t extended_ = 0;
};

// Reads served from bytes the caller holds in memory, as the locator's scan holds the end of the
// file; a byte outside them is read from the file.
class HeldReads {
public:
  HeldReads(FileBytes& file, HeldBytes held) : file_(file), held_(held) {}

  void Read(std::uint64_t offset, std::span<unsigned char> out) {
    if (!held_.Holds(offset, out.size())) return file_.Read(offset, out);
    std::copy_n(held_.bytes.begin() + static_cast<std::ptrdiff_t>(offset - held_.from), out.size(), out.begin());
  }

private:
  FileBytes& file_;
  HeldBytes held_;
};

struct Entry {
  std::uint16_t tag;
  std::uint32_t size;
  std::uint32_t offset;
  // Where its 10 bytes are in the file.
  std::uint64_t at;
};

// Walks a directory tree depth-first, keeping the path to the entry being checked, so that a fault
// can say where it lies.
template <typename Reads>
class HeapWalker {
public:
  // With descend false only the root directory is checked, and the first fault ends the walk.
  HeapWalker(Reads& reads, ByteOrder order, bool descend) : reads_(reads), order_(order), descend_(descend) {}

  void Walk(HeapRange root) { Directory(root, 0); }
  // A read failed: the fault of whatever was being checked.
  void ReadFailed() { Fault(HeapFault::Unreadable); }

  HeapReading reading;

private:
  Reads& reads_;
  ByteOrder order_;
  bool descend_;
  std::array<std::uint16_t, kMaxSubHeapDepth + 1> path_{};
  std::size_t depth_ = 0;
  // The entry being checked, or the root directory before its first entry.
  std::uint64_t where_ = 0;
  std::size_t directories_ = 0;
  // Heaps hold one preview; a file with hundreds would make the checks read a lot.
  bool previewSeen_ = false;

  void Fault(HeapFault fault) {
    if (reading.damage) return;
    HeapDamage damage;
    damage.fault = fault;
    std::copy_n(path_.begin(), depth_, damage.path.begin());
    damage.depth = depth_;
    damage.offset = where_;
    reading.damage = damage;
  }

  // Checks the directory of a heap that begins level levels below the root, and its entries.
  void Directory(HeapRange heap, std::size_t level) {
    ++directories_;
    if (heap.end < heap.start + std::uint64_t{kDirectoryCountSize + kPointerSize}) {
      return Fault(HeapFault::DirectoryMisplaced);
    }
    const std::uint64_t size = heap.end - heap.start;
    const std::uint32_t pointer = U32At(reads_, heap.end - kPointerSize, order_);
    const std::uint64_t directory = std::uint64_t{heap.start} + pointer;
    if (level == 0) where_ = directory;
    if (pointer > size - kDirectoryCountSize - kPointerSize) return Fault(HeapFault::DirectoryMisplaced);
    const std::uint16_t count = U16At(reads_, directory, order_);
    if (count == 0 || count > kMaxDirectoryEntries) return Fault(HeapFault::EntryCount);
    const std::uint64_t directoryEnd =
        std::uint64_t{pointer} + kDirectoryCountSize + std::uint64_t{kDirectoryEntrySize} * count + kPointerSize;
    // The root directory closes its heap, as the distance from its pointer says; a sub-heap's
    // directory needs only to lie inside it, as readers take it.
    if (level == 0 ? directoryEnd != size : directoryEnd > size) return Fault(HeapFault::DirectoryMisplaced);

    std::array<unsigned char, kMaxDirectoryBytes> bytes{};
    const std::size_t length = std::size_t{kDirectoryEntrySize} * count;
    reads_.Read(directory + kDirectoryCountSize, std::span(bytes).first(length));
    for (std::size_t k = 0; k < length; k += kDirectoryEntrySize) {
      const unsigned char* raw = bytes.data() + k;
      const Entry entry{DecodeU16(raw, order_), DecodeU32(raw + 2, order_), DecodeU32(raw + 6, order_),
                        directory + kDirectoryCountSize + k};
      path_[level] = entry.tag;
      depth_ = level + 1;
      where_ = entry.at;
      const bool sound = CheckEntry(heap, pointer, entry, level);
      if (!sound && !descend_) return;
    }
    depth_ = level;
  }

  // Returns false when the entry itself is at fault.
  bool CheckEntry(HeapRange heap, std::uint32_t pointer, const Entry& entry, std::size_t level) {
    const std::uint16_t storage = entry.tag & kStorageMask;
    if (storage == kStorageInEntry) return true;
    if (storage != kStorageInHeap) {
      Fault(HeapFault::UnknownStorage);
      return false;
    }
    if (std::uint64_t{entry.offset} + entry.size > pointer) {
      Fault(HeapFault::DataOutside);
      return false;
    }
    if (!descend_) return true;
    const std::uint32_t data = heap.start + entry.offset;
    const std::uint16_t kind = entry.tag & kKindMask;
    if (kind == kKindSubHeap || kind == kKindOtherSubHeap) {
      SubHeap({data, data + entry.size}, level + 1);
    } else if (entry.tag == kPreviewTag && !previewSeen_) {
      previewSeen_ = true;
      Preview(data, entry.size);
    } else if (entry.tag == kThumbnailTag && !reading.thumbnail) {
      reading.thumbnail = PreviewPlace{data, entry.size};
    } else if (entry.tag == kOriginalFileNameTag) {
      OriginalFileName(data, entry.size);
    } else if (entry.tag == kCaptureTimeTag) {
      CaptureTime(data, entry.size);
    }
    return true;
  }

  void SubHeap(HeapRange heap, std::size_t level) {
    if (level > kMaxSubHeapDepth) return Fault(HeapFault::NestedTooDeep);
    if (directories_ >= kMaxDirectories) return Fault(HeapFault::TooManyDirectories);
    const std::uint64_t where = where_;
    Directory(heap, level);
    depth_ = level;
    where_ = where;
  }

  void Preview(std::uint32_t data, std::uint32_t size) {
    std::array<unsigned char, 2> start{};
    if (size >= start.size()) reads_.Read(data, start);
    if (start[0] != kMarker || start[1] != kStartOfImage) return Fault(HeapFault::PreviewStart);
    reading.preview = PreviewPlace{data, size};
    static_assert(kPreviewEndWindow <= WindowedReads::kWindowSize);
    std::array<unsigned char, kPreviewEndWindow> end{};
    const std::size_t window = std::min<std::size_t>(size, end.size());
    reads_.Read(std::uint64_t{data} + size - window, std::span(end).first(window));
    std::size_t last = window;
    while (last > 0 && (end[last - 1] == 0 || end[last - 1] == kMarker)) --last;
    if (last < 2 || end[last - 1] != kEndOfImage || end[last - 2] != kMarker) Fault(HeapFault::PreviewEnd);
  }

  void OriginalFileName(std::uint32_t data, std::uint32_t size) {
    if (reading.originalFileName) return;
    std::array<unsigned char, kMaxNameLength> bytes{};
    const std::size_t length = std::min<std::size_t>(size, bytes.size());
    reads_.Read(data, std::span(bytes).first(length));
    const auto end = std::find(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length), 0);
    const bool printable = std::all_of(bytes.begin(), end, [](unsigned char c) { return c >= 0x20 && c < 0x7F; });
    if (end != bytes.begin() && printable) reading.originalFileName.emplace(bytes.begin(), end);
  }

  void CaptureTime(std::uint32_t data, std::uint32_t size) {
    if (reading.captureTime || size < 4) return;
    const std::uint32_t seconds = U32At(reads_, data, order_);
    if (seconds != 0) reading.captureTime = seconds;
  }
};

}  // namespace

std::optional<HeapDamage> CheckRootDirectory(FileBytes& file, HeapRange root, ByteOrder order, HeldBytes held) {
  HeldReads reads(file, held);
  HeapWalker walker(reads, order, false);
  walker.Walk(root);
  return walker.reading.damage;
}

HeapReading ReadHeap(FileBytes& file, HeapRange root, ByteOrder order) {
  WindowedReads reads(file);
  HeapWalker walker(reads, order, true);
  try {
    walker.Walk(root);
  } catch (const PlatformError& error) {
    walker.ReadFailed();
    walker.reading.failureReason = error.Reason();
  }
  return walker.reading;
}

// Days to a civil date: Howard Hinnant's algorithm, exact over the whole 32-bit range.
std::string CaptureTimeText(std::uint32_t secondsSince1970) {
  const std::int64_t days = secondsSince1970 / 86400;
  const std::int64_t secondsOfDay = secondsSince1970 % 86400;
  const std::int64_t z = days + 719468;
  const std::int64_t era = z / 146097;
  const std::int64_t dayOfEra = z - era * 146097;
  const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t monthIndex = (5 * dayOfYear + 2) / 153;
  const std::int64_t day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
  const std::int64_t month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
  const std::int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", static_cast<int>(year), static_cast<int>(month),
                static_cast<int>(day), static_cast<int>(secondsOfDay / 3600), static_cast<int>(secondsOfDay / 60 % 60),
                static_cast<int>(secondsOfDay % 60));
  return text;
}

}  // namespace tailmend

#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "engine/file_bytes.h"

namespace tailmend {

// A CIFF directory is a 2-byte entry count, 10-byte entries, then the 4-byte pointer back to it.
inline constexpr std::uint32_t kDirectoryCountSize = 2;
inline constexpr std::uint32_t kDirectoryEntrySize = 10;
inline constexpr std::uint32_t kPointerSize = 4;
// Raw readers refuse a directory of no entries or of more than this many (dcraw stops above 127).
inline constexpr std::uint16_t kMaxDirectoryEntries = 127;
// Sub-heaps are checked this many levels below the root directory; cameras nest three.
inline constexpr std::size_t kMaxSubHeapDepth = 6;
// Directories read for one file, the root's included; a camera writes seven. Entries that point
// at the same sub-heap again and again cannot make the reading long.
inline constexpr std::size_t kMaxDirectories = 32;

// A heap: the file's bytes from start to end. Its last four bytes hold the offset of its directory
// and its entries the offsets of their data, all counted from start.
struct HeapRange {
  std::uint32_t start;
  std::uint32_t end;
};

// What a raw reader would stumble over in a heap.
enum class HeapFault {
  EntryCount,          // a directory of no entries or of more than 127
  DirectoryMisplaced,  // not inside its heap before the pointer; the root's does not end at the heap end
  DataOutside,         // an entry's data runs past the start of its heap's directory
  UnknownStorage,      // the tag's storage bits say neither "in the heap" nor "in the entry"
  NestedTooDeep,       // a sub-heap more than kMaxSubHeapDepth levels below the root
  TooManyDirectories,  // more than kMaxDirectories directories in all
  PreviewStart,        // the preview JPEG does not start with FF D8
  PreviewEnd,          // the preview JPEG does not end with FF D9 (zero or FF padding after it allowed)
  Unreadable,          // the system failed a read of the bytes checked, or of bytes just below them
};

// Each fault's text for machine-readable reports; never changes.
constexpr std::string_view StableName(HeapFault fault) {
  switch (fault) {
    case HeapFault::EntryCount: return "entry-count";
    case HeapFault::DirectoryMisplaced: return "directory-misplaced";
    case HeapFault::DataOutside: return "data-outside";
    case HeapFault::UnknownStorage: return "unknown-storage";
    case HeapFault::NestedTooDeep: return "nested-too-deep";
    case HeapFault::TooManyDirectories: return "too-many-directories";
    case HeapFault::PreviewStart: return "preview-start";
    case HeapFault::PreviewEnd: return "preview-end";
    case HeapFault::Unreadable: return "unreadable";
  }
  return "unknown";
}

// A fault and the entry it lies in. A fault of a sub-heap's own directory (its count, its place)
// lies in the entry that holds the sub-heap; a fault of the root directory's own lies in no entry.
struct HeapDamage {
  HeapFault fault{};
  // The tags of the entries from the root directory down to the one at fault: one tag for an entry
  // of the root directory, two for an entry of a sub-heap of the root, and so on.
  std::array<std::uint16_t, kMaxSubHeapDepth + 1> path{};
  std::size_t depth = 0;
  // The file offset of the entry's 10 bytes; of the root directory when the fault lies in no entry.
  std::uint64_t offset = 0;

  std::span<const std::uint16_t> Tags() const { return std::span(path).first(depth); }
  bool operator==(const HeapDamage&) const = default;
};

// Where the camera's preview JPEG (tag 0x2007) lies in the file.
struct PreviewPlace {
  std::uint64_t offset = 0;
  std::uint32_t size = 0;
  bool operator==(const PreviewPlace&) const = default;
};

// What the heap holds beside its structure, when it holds it.
struct HeapReading {
  // The first fault, in the order a reader meets them (entry by entry, each sub-heap before the
  // next entry); the entries after a fault are still read, those in a broken directory are not.
  std::optional<HeapDamage> damage;
  // The name the camera gave the file (tag 0x0816), when it is printable ASCII.
  std::optional<std::string> originalFileName;
  // When the photo was taken (tag 0x180e): seconds since 1970-01-01 00:00 by the camera's clock,
  // which keeps local time; none when the camera stored zero.
  std::optional<std::uint32_t> captureTime;
  // The first preview, when it lies inside its heap and starts as a JPEG does (its end may not).
  std::optional<PreviewPlace> preview;
  // The first thumbnail (tag 0x2008), a smaller JPEG some cameras store instead; not checked.
  std::optional<PreviewPlace> thumbnail;
  // With the fault Unreadable: the reason the system gave.
  std::string failureReason;
};

// The checks a raw reader makes of the root directory alone, before it goes further: an entry
// count of 1 to 127, a directory that ends exactly at the heap end, the data of every entry inside
// the heap before the directory. Reads only the directory, from held where it lies there (the
// locator's scan holds the root directory of every position it tests), otherwise from the file.
// A failed read raises PlatformError.
std::optional<HeapDamage> CheckRootDirectory(FileBytes& file, HeapRange root, ByteOrder order, HeldBytes held = {});

// Reads the whole directory tree as a raw reader would: the root directory's checks, the same for
// every sub-heap (an entry whose type is a directory) down to kMaxSubHeapDepth, and the first
// preview JPEG's markers; picks out the original file name, the capture time and the places of the
// preview and the thumbnail on the way (the first of each). Reads directories and the few bytes it
// checks, never image data, a few 4 KiB windows for a camera's heap and under 128 KiB whatever the
// heap. A failed read is the fault Unreadable, of the entry being read.
HeapReading ReadHeap(FileBytes& file, HeapRange root, ByteOrder order);

// The capture time as the camera's clock showed it, "YYYY-MM-DDTHH:MM:SS" (no time zone: the
// camera keeps none).
std::string CaptureTimeText(std::uint32_t secondsSince1970);

}  // namespace tailmend

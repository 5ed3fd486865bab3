#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "engine/file_bytes.h"
#include "engine/types.h"
#include "platform/stream.h"

namespace tailmend {

// CIFF root heaps start right after the 26-byte file header. Its byte-order mark is followed by
// the header's length, which raw readers take for the heap's start, and the heap's type and
// subtype, "HEAP" and "CCDR" in every CRW file.
inline constexpr std::int64_t kCiffHeaderSize = 26;
inline constexpr std::size_t kHeaderLengthAt = 2;
inline constexpr std::array<char, 8> kHeapSignature = {'H', 'E', 'A', 'P', 'C', 'C', 'D', 'R'};
inline constexpr std::size_t kSignatureAt = 6;
// Smaller files cannot be Canon CRW photos.
inline constexpr std::int64_t kMinFileSize = 102400;
// No repaired CRW file is shorter than this, so lower positions are never tested.
inline constexpr std::int64_t kScanFloor = 0xA0000;
// Positions are 32-bit; no CRW file comes near this size.
inline constexpr std::int64_t kMaxFileSize = std::int64_t{1} << 31;

// Finds where the root heap of the CRW file really ends (or, when Canon's recipe trailer follows it,
// where that trailer ends). Reads the file from its end downwards, in windows that grow, only as
// far as the search needs; changes nothing. Only a CIFF file whose header raw readers read as this
// one does (the mark, the length 26, the signature) is looked into, and a position is taken only
// where its root directory can be read (CheckRootDirectory).
TailResult FindFileTail(Stream& stream);

// Which rule gave the locator's answer.
enum class TailFinding {
  ReadFailed,              // kTailUnknownError: a read failed (or memory ran out)
  Stopped,                 // kTailUnknownError: a stop was asked for during the scan
  TooSmall,                // kTailInvalidFile: under kMinFileSize
  TooLarge,                // kTailInvalidFile: kMaxFileSize or more
  NoMark,                  // kTailInvalidFile: the file starts with neither "II" nor "MM"
  NoSignature,             // kTailInvalidFile: the mark is not followed by a CIFF header's signature
  UnexpectedHeaderLength,  // kTailInvalidFile: a CIFF header whose length field is not 26
  BelowScanFloor,          // kTailNotFound: the file ends below kScanFloor, where nothing is tested
  EndsWithRootPointer,     // kTailNotFound: its last four bytes point back to a root directory
  EndsWithCopiedPointer,   // kTailNotFound: it ends with the pointer found before a heap end
  NoPlausibleEnd,          // kTailNotFound: no position passes the distance test
  NoReadableRoot,          // kTailNotFound: positions pass it, none has a readable root directory
  HeapEnd,                 // a length: where the root heap ends
  TrailerEnd,              // a length: where Canon's recipe trailer after the heap ends
};

// FindFileTail's answer and what it is based on.
struct TailSearch {
  TailResult tail = kTailUnknownError;
  TailFinding finding = TailFinding::ReadFailed;
  // The size the stream told; 0 when it could not tell.
  std::int64_t size = 0;
  // Once the mark is read.
  ByteOrder order = ByteOrder::Little;
  // Where the root heap ends: the file's size for EndsWithRootPointer; the position found for
  // EndsWithCopiedPointer, HeapEnd and TrailerEnd (the trailer follows it); 0 otherwise.
  std::uint32_t heapEnd = 0;
  // ReadFailed: why.
  std::string failureReason;
};

// FindFileTail with the reasons of its answer, from the same reads; stop is asked between the
// windows of a long scan.
TailSearch SearchFileTail(Stream& stream, const StopRequest& stop = {});

// The four bytes before a heap end point back to its directory, a root-sized distance away: the
// header and a root directory of 2 to 8 entries.
bool IsPlausibleHeapEnd(std::uint32_t position, std::uint32_t storedPointer);

// True when the file is readable as it stands: its last four bytes, lastPointer, point back to a
// root directory a root-sized distance away, or to one that closes the file.
bool EndsWithRootHeap(FileBytes& file, std::uint32_t lastPointer, ByteOrder order);

// Where a complete, well-formed recipe trailer that starts at heapEnd ends, if there is one: its
// signatures, its two length fields and, in its last four bytes, the root pointer repeated.
std::optional<std::uint32_t> RecipeTrailerEnd(FileBytes& file, std::uint32_t heapEnd, std::uint32_t rootPointer,
                                              ByteOrder order);

}  // namespace tailmend

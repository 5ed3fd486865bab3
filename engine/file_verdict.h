#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/heap_reader.h"
#include "engine/types.h"
#include "platform/stream.h"

namespace tailmend {

// What a file is, as far as the repair goes. Every enumeration below has its text for
// machine-readable reports beside it (StableName); those texts never change.
enum class Verdict {
  Healthy,        // readable as it stands: nothing to cut
  Repairable,     // a tail to cut, and the heap before it reads clean
  HeapDamaged,    // readable where it ends (or once cut), but something inside the heap is broken
  NotRepairable,  // no heap end to cut at (see UnrepairableReason)
  ReadFailed,     // a read failed: nothing can be said, nothing is cut
};

enum class UnrepairableReason {
  None,                    // the verdict is not NotRepairable
  TooSmall,                // under 100 KiB, as no CRW photo is
  TooLarge,                // 2 GiB or more
  NoCiffHeader,            // no CIFF header at the start or near it (see Lookalike)
  HeaderNotAtStart,        // a CIFF header, but not at the start of the file (see headerOffset)
  UnexpectedHeaderLength,  // a CIFF header whose length field is not 26: readers would take the
                           // heap to start elsewhere than the one whose end is found
  NoHeapEnd,               // a CIFF header, but no heap end to cut at (see MissingEnd)
};

// What a file without a CIFF header looks like instead.
enum class Lookalike {
  None,     // the reason is not NoCiffHeader
  Jpeg,     // it starts as a JPEG does (FF D8 FF)
  TiffRaw,  // it starts as TIFF-based raw files do ("II*\0", "MM\0*": CR2, NEF, DNG and others)
  Zeros,    // its first and last 64 KiB are zero bytes
  Unknown,
};

// Why a file with a CIFF header has no heap end to cut at.
enum class MissingEnd {
  None,            // the reason is not NoHeapEnd
  CutShort,        // no position passes the distance test: the file most likely stops inside its heap
  Damaged,         // positions pass it, but none has a root directory a reader could read
  BelowScanFloor,  // the file, or its root heap, ends below 640 KiB, where nothing is cut
};

constexpr std::string_view StableName(Verdict verdict) {
  switch (verdict) {
    case Verdict::Healthy: return "healthy";
    case Verdict::Repairable: return "repairable";
    case Verdict::HeapDamaged: return "heap-damaged";
    case Verdict::NotRepairable: return "not-repairable";
    case Verdict::ReadFailed: return "read-failed";
  }
  return "unknown";
}

constexpr std::string_view StableName(UnrepairableReason reason) {
  switch (reason) {
    case UnrepairableReason::None: return "none";
    case UnrepairableReason::TooSmall: return "too-small";
    case UnrepairableReason::TooLarge: return "too-large";
    case UnrepairableReason::NoCiffHeader: return "no-ciff-header";
    case UnrepairableReason::HeaderNotAtStart: return "header-not-at-start";
    case UnrepairableReason::UnexpectedHeaderLength: return "unexpected-header-length";
    case UnrepairableReason::NoHeapEnd: return "no-heap-end";
  }
  return "unknown";
}

constexpr std::string_view StableName(Lookalike lookalike) {
  switch (lookalike) {
    case Lookalike::None: return "none";
    case Lookalike::Jpeg: return "jpeg";
    case Lookalike::TiffRaw: return "tiff-raw";
    case Lookalike::Zeros: return "zeros";
    case Lookalike::Unknown: return "unknown";
  }
  return "unknown";
}

constexpr std::string_view StableName(MissingEnd missing) {
  switch (missing) {
    case MissingEnd::None: return "none";
    case MissingEnd::CutShort: return "cut-short";
    case MissingEnd::Damaged: return "damaged";
    case MissingEnd::BelowScanFloor: return "below-scan-floor";
  }
  return "unknown";
}

// Everything a run can say about one file. The run acts on tail alone, exactly as on
// FindFileTail's answer, which it is; the rest is for the report.
struct FileVerdict {
  TailResult tail = kTailUnknownError;
  Verdict verdict = Verdict::ReadFailed;
  // The size the stream told; none when it could not tell or told 2 GiB or more. With a tail to
  // cut, the bytes after it, size - tail, are the junk.
  std::optional<std::uint32_t> size;
  std::uint32_t junk = 0;
  // Canon's recipe trailer follows the heap and stays: the cut is after it, or the file ends with it.
  bool trailerKept = false;
  // HeapDamaged: the first fault found inside the heap.
  std::optional<HeapDamage> damage;
  // NotRepairable: why, and the detail of the reason.
  UnrepairableReason reason = UnrepairableReason::None;
  Lookalike lookalike = Lookalike::None;
  std::uint32_t headerOffset = 0;  // HeaderNotAtStart: where the CIFF header starts
  MissingEnd missingEnd = MissingEnd::None;
  // From the heap, when it holds them (see HeapReading).
  std::optional<std::string> originalFileName;
  std::optional<std::uint32_t> captureTime;
  // The camera's preview JPEG, or where it has none its thumbnail.
  std::optional<PreviewPlace> preview;
  // ReadFailed: the reason the file could not be read.
  std::string failureReason;
};

// A CIFF header starting this far into a file or nearer is found; files with more before it are
// taken for files without one.
inline constexpr std::uint32_t kHeaderSearchWindow = 64 * 1024;

// Judges the file the stream holds: FindFileTail's answer from the same reads, then the heap
// before the end found (ReadHeap), or, for a file with nothing to cut, a look at why. Reads a few
// more small pieces than FindFileTail alone (the heap's directories and markers), at most 128 KiB
// more for a file without a CIFF header, and the 640 KiB below the scan floor for a CIFF file with
// no heap end above it; changes nothing. A read of the heap that fails makes the file unread
// (kTailUnknownError), even with its end found; one that fails while looking at a file with
// nothing to cut leaves the first guess at why (an unknown lookalike, a file cut short or damaged).
FileVerdict JudgeFile(Stream& stream);
// The same, or nothing when a stop was asked for during a long scan: then nothing is known yet.
std::optional<FileVerdict> JudgeFile(Stream& stream, const StopRequest& stop);

}  // namespace tailmend

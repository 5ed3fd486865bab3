#include "engine/file_verdict.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <exception>
#include <vector>

#include "engine/file_bytes.h"
#include "engine/tail_locator.h"
#include "platform/platform_error.h"

namespace tailmend {

namespace {

// The window at each end of a file that must be all zeros for Lookalike::Zeros.
constexpr std::uint32_t kZeroWindow = 64 * 1024;

bool SameByte(char a, unsigned char b) { return static_cast<unsigned char>(a) == b; }

bool StartsWith(const std::vector<unsigned char>& bytes, std::string_view prefix) {
  return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin(), SameByte);
}

bool AllZero(const std::vector<unsigned char>& bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](unsigned char b) { return b == 0; });
}

// A file that does not start with a CIFF header: one further in, or what the file looks like
// instead.
void JudgeWithoutMark(FileBytes& file, FileVerdict& verdict) {
  verdict.reason = UnrepairableReason::NoCiffHeader;
  verdict.lookalike = Lookalike::Unknown;
  std::vector<unsigned char> head(std::min<std::uint32_t>(file.Size(), kHeaderSearchWindow + kSignatureAt + 8));
  file.Read(0, head);
  for (auto at = head.begin() + static_cast<std::ptrdiff_t>(std::min(kSignatureAt, head.size())); at != head.end(); ++at) {
    at = std::search(at, head.end(), kHeapSignature.begin(), kHeapSignature.end());
    if (at == head.end()) break;
    const auto mark = at - kSignatureAt;
    if ((mark[0] == 'I' && mark[1] == 'I') || (mark[0] == 'M' && mark[1] == 'M')) {
      verdict.reason = UnrepairableReason::HeaderNotAtStart;
      verdict.lookalike = Lookalike::None;
      verdict.headerOffset = static_cast<std::uint32_t>(mark - head.begin());
      return;
    }
  }
  if (StartsWith(head, "\xFF\xD8\xFF")) {
    verdict.lookalike = Lookalike::Jpeg;
  } else if (StartsWith(head, std::string_view("II*\0", 4)) || StartsWith(head, std::string_view("MM\0*", 4))) {
    verdict.lookalike = Lookalike::TiffRaw;
  } else {
    head.resize(std::min<std::uint32_t>(file.Size(), kZeroWindow));
    std::vector<unsigned char> tail(head.size());
    file.Read(file.Size() - tail.size(), tail);
    if (AllZero(head) && AllZero(tail)) verdict.lookalike = Lookalike::Zeros;
  }
}

// The heap from the header to heapEnd: healthy or repairable when it reads clean.
void JudgeHeap(FileBytes& file, std::uint32_t heapEnd, ByteOrder order, Verdict clean, FileVerdict& verdict) {
  HeapReading reading = ReadHeap(file, {static_cast<std::uint32_t>(kCiffHeaderSize), heapEnd}, order);
  if (reading.damage && reading.damage->fault == HeapFault::Unreadable) {
    // A file the system fails to read is not cut, wherever the failure lies: the medium may be
    // failing, and nothing here can be sure of a file it could not read whole.
    verdict.tail = kTailUnknownError;
    verdict.verdict = Verdict::ReadFailed;
    verdict.failureReason = std::move(reading.failureReason);
    return;
  }
  verdict.verdict = reading.damage ? Verdict::HeapDamaged : clean;
  verdict.damage = reading.damage;
  verdict.originalFileName = std::move(reading.originalFileName);
  verdict.captureTime = reading.captureTime;
  verdict.preview = reading.preview ? reading.preview : reading.thumbnail;
}

// True when a position below the scan floor, where the locator looks for nothing, has a root
// directory a reader could read: the heap ends there, and what follows it is junk. The root
// directories are read from the bytes read here, never with reads of their own.
bool HeapEndsBelowScanFloor(FileBytes& file, ByteOrder order) {
  std::vector<unsigned char> below(std::min<std::uint32_t>(file.Size(), kScanFloor));
  file.Read(0, below);
  const HeldBytes held{0, below};
  for (auto position = static_cast<std::uint32_t>(below.size()); position > kPointerSize; --position) {
    if (IsPlausibleHeapEnd(position, DecodeU32(below.data() + position - kPointerSize, order)) &&
        !CheckRootDirectory(file, {static_cast<std::uint32_t>(kCiffHeaderSize), position}, order, held)) {
      return true;
    }
  }
  return false;
}

// A CIFF file with nothing above the scan floor to cut at is cut short or damaged there, as the
// scan found, unless its heap ends below the floor.
MissingEnd AboveScanFloor(FileBytes& file, ByteOrder order, MissingEnd found) {
  try {
    if (HeapEndsBelowScanFloor(file, order)) return MissingEnd::BelowScanFloor;
  } catch (const PlatformError&) {
  }
  return found;
}

void NoHeapEnd(FileVerdict& verdict, MissingEnd missing) {
  verdict.verdict = Verdict::NotRepairable;
  verdict.reason = UnrepairableReason::NoHeapEnd;
  verdict.missingEnd = missing;
}

void Judge(const TailSearch& search, FileBytes& file, FileVerdict& verdict) {
  switch (search.finding) {
    case TailFinding::ReadFailed:
    case TailFinding::Stopped: return;
    case TailFinding::TooSmall:
    case TailFinding::TooLarge:
      verdict.verdict = Verdict::NotRepairable;
      verdict.reason =
          search.finding == TailFinding::TooSmall ? UnrepairableReason::TooSmall : UnrepairableReason::TooLarge;
      return;
    case TailFinding::UnexpectedHeaderLength:
      verdict.verdict = Verdict::NotRepairable;
      verdict.reason = UnrepairableReason::UnexpectedHeaderLength;
      return;
    case TailFinding::NoMark:
    case TailFinding::NoSignature:
      verdict.verdict = Verdict::NotRepairable;
      try {
        JudgeWithoutMark(file, verdict);
      } catch (const PlatformError&) {
      }
      return;
    case TailFinding::BelowScanFloor:
      // The locator looks no further, but a small file may still be readable as it stands.
      try {
        if (EndsWithRootHeap(file, file.U32Before(file.Size(), search.order), search.order)) {
          return JudgeHeap(file, file.Size(), search.order, Verdict::Healthy, verdict);
        }
      } catch (const PlatformError&) {
      }
      return NoHeapEnd(verdict, MissingEnd::BelowScanFloor);
    case TailFinding::EndsWithRootPointer:
      return JudgeHeap(file, search.heapEnd, search.order, Verdict::Healthy, verdict);
    case TailFinding::EndsWithCopiedPointer:
      try {
        const std::uint32_t rootPointer = file.U32Before(search.heapEnd, search.order);
        verdict.trailerKept = RecipeTrailerEnd(file, search.heapEnd, rootPointer, search.order) == file.Size();
      } catch (const PlatformError&) {
      }
      return JudgeHeap(file, search.heapEnd, search.order, Verdict::Healthy, verdict);
    case TailFinding::NoPlausibleEnd:
      return NoHeapEnd(verdict, AboveScanFloor(file, search.order, MissingEnd::CutShort));
    case TailFinding::NoReadableRoot:
      return NoHeapEnd(verdict, AboveScanFloor(file, search.order, MissingEnd::Damaged));
    case TailFinding::HeapEnd:
    case TailFinding::TrailerEnd:
      verdict.junk = file.Size() - static_cast<std::uint32_t>(search.tail);
      verdict.trailerKept = search.finding == TailFinding::TrailerEnd;
      return JudgeHeap(file, search.heapEnd, search.order, Verdict::Repairable, verdict);
  }
}

}  // namespace

FileVerdict JudgeFile(Stream& stream) { return *JudgeFile(stream, {}); }

std::optional<FileVerdict> JudgeFile(Stream& stream, const StopRequest& stop) {
  const TailSearch search = SearchFileTail(stream, stop);
  if (search.finding == TailFinding::Stopped) return std::nullopt;
  FileVerdict verdict;
  verdict.tail = search.tail;
  verdict.failureReason = search.failureReason;
  // A size of 0 was told (the file is empty, too small to be read); 0 after a failure was not.
  const bool told = search.size > 0 || search.finding != TailFinding::ReadFailed;
  if (told && search.size >= 0 && search.size < kMaxFileSize) verdict.size = static_cast<std::uint32_t>(search.size);
  FileBytes file(stream, verdict.size.value_or(0));
  try {
    Judge(search, file, verdict);
  } catch (const std::exception&) {
    // Memory ran out: what was found so far stands.
  }
  return verdict;
}

}  // namespace tailmend

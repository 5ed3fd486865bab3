#include "ui/behaviour/file_explanation.h"

#include <cstdio>

#include "engine/record_fields.h"
#include "platform/path_names.h"

namespace tailmend {

namespace {

std::string Bytes(std::uint64_t count) { return GroupedNumber(count) + (count == 1 ? " byte" : " bytes"); }

std::string_view FaultWords(HeapFault fault) {
  switch (fault) {
    case HeapFault::EntryCount: return "its directory holds no entries or more than 127";
    case HeapFault::DirectoryMisplaced: return "its directory is not where its pointer says";
    case HeapFault::DataOutside: return "its data runs past its heap's directory";
    case HeapFault::UnknownStorage: return "its tag stores its data in no known place";
    case HeapFault::NestedTooDeep: return "it nests sub-heaps deeper than any camera does";
    case HeapFault::TooManyDirectories: return "it holds more directories than any camera writes";
    case HeapFault::PreviewStart: return "the preview JPEG does not start as a JPEG does";
    case HeapFault::PreviewEnd: return "the preview JPEG does not end as a JPEG does";
    case HeapFault::Unreadable: return "it could not be read";
  }
  return "it is broken";
}

// "the entry 0x300a/0x2007 is broken (the preview JPEG does not end as a JPEG does)"
std::string DamageWords(const std::optional<HeapDamage>& damage) {
  if (!damage) return "its data is broken";
  const std::string where = EntryPath(*damage);
  const std::string broken = where.empty() ? "the root directory is broken" : "the entry " + where + " is broken";
  return broken + " (" + std::string(FaultWords(damage->fault)) + ")";
}

std::string_view LookalikeWords(Lookalike lookalike) {
  switch (lookalike) {
    case Lookalike::Jpeg: return "it is a JPEG";
    case Lookalike::TiffRaw: return "it is a TIFF-based raw file (CR2, NEF, DNG or another)";
    case Lookalike::Zeros: return "it holds only zeros where a photo's data would be";
    case Lookalike::None:
    case Lookalike::Unknown: break;
  }
  return "it has no CRW header";
}

std::string_view MissingEndWords(MissingEnd missing) {
  switch (missing) {
    case MissingEnd::CutShort: return "the file stops inside its data (cut short)";
    case MissingEnd::Damaged: return "no readable end of its data was found (damaged)";
    case MissingEnd::BelowScanFloor: return "it ends below 640 KiB, where no photo's data ends";
    case MissingEnd::None: break;
  }
  return "no end of its data was found";
}

constexpr std::string_view kNothingChanged = "; nothing was changed";

std::string UnrepairableSentence(const FileVerdict& verdict) {
  switch (verdict.reason) {
    case UnrepairableReason::TooSmall:
      return verdict.size ? "Not a CRW file: at " + Bytes(*verdict.size) + " it is too small for a photo"
                          : "Not a CRW file: it is too small for a photo";
    case UnrepairableReason::NoCiffHeader: return "Not a CRW file: " + std::string(LookalikeWords(verdict.lookalike));
    case UnrepairableReason::TooLarge:
      return "Not repaired: it is 2 GiB or larger, more than any CRW photo" + std::string(kNothingChanged);
    case UnrepairableReason::HeaderNotAtStart:
      return "Not repaired: its CRW data starts " + Bytes(verdict.headerOffset) + " into the file" +
             std::string(kNothingChanged);
    case UnrepairableReason::UnexpectedHeaderLength:
      return "Not repaired: its CRW header gives an unexpected length, so readers would look for its data "
             "elsewhere" +
             std::string(kNothingChanged);
    case UnrepairableReason::NoHeapEnd:
    case UnrepairableReason::None: break;
  }
  return "Not repaired: " + std::string(MissingEndWords(verdict.missingEnd)) + std::string(kNothingChanged);
}

std::string CutSentence(const FileVerdict& verdict) {
  const std::string after =
      verdict.trailerKept ? "after the photo's data and Canon's recipe trailer, which stays" : "after the photo's data";
  if (verdict.verdict == Verdict::HeapDamaged) {
    return "Repaired, but damaged inside: " + DamageWords(verdict.damage) + "; " + Bytes(verdict.junk) +
           " of junk cut " + after;
  }
  return "Repaired: " + Bytes(verdict.junk) + " of junk cut " + after;
}

std::string CheckedSentence(const FileVerdict& verdict) {
  const std::string cut = Bytes(verdict.junk) + " of junk after the photo's data would be cut";
  if (verdict.verdict == Verdict::HeapDamaged) {
    return "Repairable, but damaged inside: " + DamageWords(verdict.damage) + "; " + cut + std::string(kNothingChanged);
  }
  return "Repairable: " + cut + std::string(kNothingChanged);
}

std::string UnreadSentence(const std::string& reason) {
  return "Failed: it could not be read" + (reason.empty() ? "" : ": " + reason);
}

// A file left as it was: what it is.
std::string UncutSentence(const FileVerdict& verdict) {
  switch (verdict.verdict) {
    case Verdict::Healthy:
      return verdict.trailerKept ? "Healthy: it ends with Canon's recipe trailer after its data; nothing to cut"
                                 : "Healthy: it ends where its data ends; nothing to cut";
    case Verdict::HeapDamaged:
      return "Damaged inside: " + DamageWords(verdict.damage) + "; it ends where its data ends, so nothing was cut";
    case Verdict::NotRepairable: return UnrepairableSentence(verdict);
    case Verdict::Repairable: return CheckedSentence(verdict);
    case Verdict::ReadFailed: break;
  }
  return UnreadSentence(verdict.failureReason);
}

std::string RowSentence(const FileResult& result) {
  switch (result.event) {
    case Event::Done: return CutSentence(result.verdict);
    case Event::TailFound: return CheckedSentence(result.verdict);
    case Event::BackupFailed: return "Backup failed; the photo was not cut";
    case Event::UnknownError: return UnreadSentence(result.verdict.failureReason);
    case Event::Failed: return "Failed";
    case Event::NoFileTail:
    case Event::InvalidCrwFile: break;
  }
  return UncutSentence(result.verdict);
}

std::string FailureSentence(const FileFailure& failure) {
  const std::string reason = failure.reason.empty() ? "" : ": " + failure.reason;
  switch (failure.kind) {
    case FailureKind::Open:
      return "Failed: " + (failure.reason.empty() ? std::string(FailureLead(failure.kind)) : failure.reason);
    case FailureKind::Read: return UnreadSentence(failure.reason);
    case FailureKind::Backup: return "Backup failed" + reason + "; the photo was not cut";
    case FailureKind::Changed: return "Not cut: another program changed it while it was being repaired";
    case FailureKind::Cut: return "Failed: it could not be cut" + reason;
    case FailureKind::Write: return "Failed: its repaired copy could not be written" + reason;
  }
  return "Failed" + reason;
}

}  // namespace

FileState StateOf(const std::optional<FileResult>& result, const std::optional<FileFailure>& failure) {
  if (failure || !result || result->event == Event::UnknownError || result->event == Event::BackupFailed ||
      result->event == Event::Failed) {
    return FileState::Failed;
  }
  switch (result->verdict.verdict) {
    case Verdict::Repairable: return FileState::Repaired;
    case Verdict::Healthy: return FileState::Healthy;
    case Verdict::HeapDamaged: return FileState::DamagedInside;
    case Verdict::NotRepairable: return FileState::NotRepairable;
    case Verdict::ReadFailed: break;
  }
  return FileState::Failed;
}

std::string_view StateIconName(FileState state) {
  switch (state) {
    case FileState::Repaired: return "state_repaired";
    case FileState::Healthy: return "state_healthy";
    case FileState::DamagedInside: return "state_damaged_inside";
    case FileState::NotRepairable: return "state_not_repairable";
    case FileState::Failed: return "state_failed";
  }
  return "state_failed";
}

std::string FileSentence(const std::optional<FileResult>& result, const std::optional<FileFailure>& failure) {
  std::string sentence = failure ? FailureSentence(*failure) : result ? RowSentence(*result) : "";
  if (result && !result->backup.empty()) sentence += "; backup " + FileNameOf(result->backup);
  return sentence;
}

std::string FileTooltip(const std::string& file, const std::optional<FileResult>& result,
                        const std::optional<FileFailure>& failure) {
  return file + "\n" + FileSentence(result, failure);
}

std::string EntryPath(const HeapDamage& damage) {
  std::string path;
  for (const std::uint16_t tag : damage.Tags()) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%04x", tag);
    path += (path.empty() ? "" : "/") + std::string(text);
  }
  return path;
}

std::string GroupedNumber(std::uint64_t number) {
  std::string digits = std::to_string(number);
  for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3)
    digits.insert(static_cast<std::size_t>(at), ",");
  return digits;
}

}  // namespace tailmend

// What the windows say of each file: its state and its one sentence, over every verdict.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/path_names.h"
#include "ui/behaviour/file_explanation.h"

namespace tailmend::test {
namespace {

FileVerdict Found(Verdict kind, std::uint32_t junk = 0) {
  FileVerdict verdict;
  verdict.verdict = kind;
  verdict.tail = kind == Verdict::Repairable || kind == Verdict::HeapDamaged ? 700000 : kTailNotFound;
  verdict.size = 700000 + junk;
  verdict.junk = junk;
  return verdict;
}

FileVerdict Unrepairable(UnrepairableReason reason, Lookalike lookalike = Lookalike::None,
                         MissingEnd missing = MissingEnd::None) {
  FileVerdict verdict = Found(Verdict::NotRepairable);
  verdict.reason = reason;
  verdict.lookalike = lookalike;
  verdict.missingEnd = missing;
  verdict.headerOffset = reason == UnrepairableReason::HeaderNotAtStart ? 1536 : 0;
  verdict.size = reason == UnrepairableReason::TooSmall ? 2048 : verdict.size;
  return verdict;
}

FileVerdict Damaged(std::uint32_t junk) {
  FileVerdict verdict = Found(Verdict::HeapDamaged, junk);
  verdict.damage = HeapDamage{HeapFault::DataOutside, {0x300a, 0x2005}, 2, 699000};
  return verdict;
}

FileVerdict WithTrailer(FileVerdict verdict) {
  verdict.trailerKept = true;
  return verdict;
}

FileVerdict Unread(std::string reason) {
  FileVerdict verdict;
  verdict.failureReason = std::move(reason);
  return verdict;
}

TEST(FileExplanation, EachOutcomeHasItsStateAndItsSentence) {
  using R = UnrepairableReason;
  const std::string backup = PathInFolder("card", "IMG_0042_bak0.crw");
  const struct {
    std::optional<FileResult> result;
    std::optional<FileFailure> failure;
    FileState state;
    std::string sentence;
  } cases[] = {
      {FileResult{Event::Done, Found(Verdict::Repairable, 1048576), backup}, {}, FileState::Repaired,
       "Repaired: 1,048,576 bytes of junk cut after the photo's data; backup IMG_0042_bak0.crw"},
      {FileResult{Event::Done, WithTrailer(Found(Verdict::Repairable, 1))}, {}, FileState::Repaired,
       "Repaired: 1 byte of junk cut after the photo's data and Canon's recipe trailer, which stays"},
      {FileResult{Event::TailFound, Found(Verdict::Repairable, 999)}, {}, FileState::Repaired,
       "Repairable: 999 bytes of junk after the photo's data would be cut; nothing was changed"},
      {FileResult{Event::NoFileTail, Found(Verdict::Healthy)}, {}, FileState::Healthy,
       "Healthy: it ends where its data ends; nothing to cut"},
      {FileResult{Event::NoFileTail, WithTrailer(Found(Verdict::Healthy))}, {}, FileState::Healthy,
       "Healthy: it ends with Canon's recipe trailer after its data; nothing to cut"},
      {FileResult{Event::Done, Damaged(5000)}, {}, FileState::DamagedInside,
       "Repaired, but damaged inside: the entry 0x300a/0x2005 is broken (its data runs past its heap's "
       "directory); 5,000 bytes of junk cut after the photo's data"},
      {FileResult{Event::NoFileTail, Damaged(0)}, {}, FileState::DamagedInside,
       "Damaged inside: the entry 0x300a/0x2005 is broken (its data runs past its heap's directory); it ends "
       "where its data ends, so nothing was cut"},
      {FileResult{Event::NoFileTail, Unrepairable(R::NoHeapEnd, Lookalike::None, MissingEnd::CutShort)}, {},
       FileState::NotRepairable, "Not repaired: the file stops inside its data (cut short); nothing was changed"},
      {FileResult{Event::NoFileTail, Unrepairable(R::NoHeapEnd, Lookalike::None, MissingEnd::Damaged)}, {},
       FileState::NotRepairable, "Not repaired: no readable end of its data was found (damaged); nothing was changed"},
      {FileResult{Event::NoFileTail, Unrepairable(R::NoHeapEnd, Lookalike::None, MissingEnd::BelowScanFloor)}, {},
       FileState::NotRepairable,
       "Not repaired: it ends below 640 KiB, where no photo's data ends; nothing was changed"},
      {FileResult{Event::InvalidCrwFile, Unrepairable(R::NoCiffHeader, Lookalike::Jpeg)}, {}, FileState::NotRepairable,
       "Not a CRW file: it is a JPEG"},
      {FileResult{Event::InvalidCrwFile, Unrepairable(R::NoCiffHeader, Lookalike::TiffRaw)}, {},
       FileState::NotRepairable, "Not a CRW file: it is a TIFF-based raw file (CR2, NEF, DNG or another)"},
      {FileResult{Event::InvalidCrwFile, Unrepairable(R::NoCiffHeader, Lookalike::Unknown)}, {},
       FileState::NotRepairable, "Not a CRW file: it has no CRW header"},
      {FileResult{Event::InvalidCrwFile, Unrepairable(R::TooSmall)}, {}, FileState::NotRepairable,
       "Not a CRW file: at 2,048 bytes it is too small for a photo"},
      {FileResult{Event::InvalidCrwFile, Unrepairable(R::HeaderNotAtStart)}, {}, FileState::NotRepairable,
       "Not repaired: its CRW data starts 1,536 bytes into the file; nothing was changed"},
      {FileResult{Event::UnknownError, Unread("Input/output error")}, FileFailure{FailureKind::Read, "Input/output error"},
       FileState::Failed, "Failed: it could not be read: Input/output error"},
      {FileResult{Event::BackupFailed, Found(Verdict::Repairable, 10)},
       FileFailure{FailureKind::Backup, "No space left on device"}, FileState::Failed,
       "Backup failed: No space left on device; the photo was not cut"},
      {FileResult{Event::BackupFailed, Found(Verdict::Repairable, 10)}, {}, FileState::Failed,
       "Backup failed; the photo was not cut"},
      {{}, FileFailure{FailureKind::Open, "Access is denied"}, FileState::Failed, "Failed: Access is denied"},
      {FileResult{Event::Done, Found(Verdict::Repairable, 10), backup}, FileFailure{FailureKind::Changed, "changed"},
       FileState::Failed, "Not cut: another program changed it while it was being repaired; backup IMG_0042_bak0.crw"},
      {{}, FileFailure{FailureKind::Cut, "Read-only file system"}, FileState::Failed,
       "Failed: it could not be cut: Read-only file system"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sentence);
    EXPECT_EQ(StateOf(c.result, c.failure), c.state);
    EXPECT_EQ(FileSentence(c.result, c.failure), c.sentence);
  }
}

}  // namespace
}  // namespace tailmend::test

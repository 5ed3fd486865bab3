#include "engine/run_summary.h"

#include <numeric>

namespace tailmend {

namespace {

void AppendCount(std::string& text, std::size_t count, const std::string& what) {
  if (count == 0) return;
  text += text.empty() ? "" : ", ";
  text += std::to_string(count) + " " + what;
}

// A file under 100 KiB, or one with no CIFF header anywhere near its start, is no CRW photo at all.
bool IsNoCrwFile(UnrepairableReason reason) {
  return reason == UnrepairableReason::TooSmall || reason == UnrepairableReason::NoCiffHeader;
}

std::size_t Total(const std::map<std::string, std::size_t>& byReason) {
  return std::accumulate(byReason.begin(), byReason.end(), std::size_t{0},
                         [](std::size_t sum, const auto& entry) { return sum + entry.second; });
}

// "25 not repairable", and with the reasons "25 not repairable (5 damaged, 20 no-heap-end)".
void AppendByReason(std::string& text, const std::map<std::string, std::size_t>& byReason, const std::string& what,
                    SummaryDetail detail) {
  std::string reasons;
  for (const auto& [reason, count] : byReason) AppendCount(reasons, count, reason);
  const bool named = detail == SummaryDetail::CountsAndReasons;
  AppendCount(text, Total(byReason), named ? what + " (" + reasons + ")" : what);
}

}  // namespace

void RunSummary::CountRow(const FileResult& result) {
  ++seen_;
  const bool damaged = result.verdict.verdict == Verdict::HeapDamaged;
  switch (result.event) {
    case Event::Done: ++(damaged ? repairedDamaged_ : repaired_); return;
    case Event::TailFound: ++(damaged ? repairableDamaged_ : repairable_); return;
    case Event::UnknownError:
    case Event::BackupFailed:
    case Event::Failed: ++failed_; return;
    case Event::NoFileTail:
    case Event::InvalidCrwFile: break;
  }
  const UnrepairableReason reason = result.verdict.reason;
  switch (result.verdict.verdict) {
    case Verdict::Healthy: ++healthy_; return;
    case Verdict::HeapDamaged: ++damagedInside_; return;
    case Verdict::NotRepairable:
      ++(IsNoCrwFile(reason) ? notCrw_ : unrepairable_)[std::string(StableName(reason))];
      return;
    case Verdict::Repairable:
    case Verdict::ReadFailed: ++failed_; return;
  }
}

void RunSummary::CountFailedFile() {
  ++seen_;
  ++failed_;
}

std::string RunSummary::Text(std::size_t listed, SummaryDetail detail) const {
  std::string counts;
  AppendCount(counts, repaired_, "repaired");
  AppendCount(counts, repairedDamaged_, "repaired, damaged inside");
  AppendCount(counts, repairable_, "repairable");
  AppendCount(counts, repairableDamaged_, "repairable, damaged inside");
  AppendCount(counts, healthy_, "healthy");
  AppendCount(counts, damagedInside_, "damaged inside");
  AppendByReason(counts, unrepairable_, "not repairable", detail);
  AppendByReason(counts, notCrw_, Total(notCrw_) == 1 ? "not a CRW file" : "not CRW files", detail);
  AppendCount(counts, failed_, "failed");
  std::string text = std::to_string(listed) + (listed == 1 ? " file" : " files");
  if (!counts.empty()) text += ": " + counts;
  if (seen_ < listed) text += "; stopped after " + std::to_string(seen_) + " of " + std::to_string(listed);
  return text;
}

}  // namespace tailmend

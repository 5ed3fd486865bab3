#include "engine/run_summary.h"

namespace tailmend {

namespace {

void AppendCount(std::string& text, std::size_t count, const std::string& what) {
  if (count == 0) return;
  text += text.empty() ? "" : ", ";
  text += std::to_string(count) + " " + what;
}

}  // namespace

void RunSummary::CountRow(const FileResult& result) {
  ++seen_;
  switch (result.event) {
    case Event::Done: ++repaired_; return;
    case Event::TailFound: ++repairable_; return;
    case Event::UnknownError:
    case Event::BackupFailed: ++failed_; return;
    case Event::NoFileTail:
    case Event::InvalidCrwFile: break;
  }
  switch (result.verdict.verdict) {
    case Verdict::Healthy: ++healthy_; return;
    case Verdict::HeapDamaged: ++damagedInside_; return;
    case Verdict::NotRepairable: ++unrepairable_[std::string(StableName(result.verdict.reason))]; return;
    case Verdict::Repairable:
    case Verdict::ReadFailed: ++failed_; return;
  }
}

void RunSummary::CountFailedFile() {
  ++seen_;
  ++failed_;
}

std::string RunSummary::Text(std::size_t listed) const {
  std::string counts;
  AppendCount(counts, repaired_, "repaired");
  AppendCount(counts, repairable_, "repairable");
  AppendCount(counts, healthy_, "healthy");
  AppendCount(counts, damagedInside_, "damaged inside");
  std::size_t unrepairable = 0;
  std::string reasons;
  for (const auto& [reason, count] : unrepairable_) {
    unrepairable += count;
    AppendCount(reasons, count, reason);
  }
  AppendCount(counts, unrepairable, "not repairable (" + reasons + ")");
  AppendCount(counts, failed_, "failed");
  if (listed > seen_) AppendCount(counts, listed - seen_, "not reached");
  std::string text = std::to_string(seen_) + (seen_ == 1 ? " file seen" : " files seen");
  return counts.empty() ? text : text + ": " + counts;
}

}  // namespace tailmend

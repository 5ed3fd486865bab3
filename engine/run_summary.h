#pragma once

#include <cstddef>
#include <map>
#include <string>

#include "engine/run_outcomes.h"

namespace tailmend {

// How much a summary line says of the files that were not repaired.
enum class SummaryDetail {
  Counts,            // the counts alone, as the processing dialog shows them
  CountsAndReasons,  // each such count followed by its reasons' stable names, as tailmend-cli prints it
};

// Counts what became of the files of a run, for the one line that closes it, in the window and on
// the command line alike.
class RunSummary {
public:
  void CountRow(const FileResult& result);
  // A file that failed with no row of its own (it could not be opened, changed meanwhile, could
  // not be cut or written); a failure beside a row is counted with the row.
  void CountFailedFile();

  // "500 files: 400 repaired, 60 healthy, 25 not repairable, 15 not CRW files", naming only what
  // happened; a run that ended before the last of the listed files (a stop, a failed backup) adds
  // "; stopped after 120 of 500". With reasons: "25 not repairable (25 no-heap-end)".
  std::string Text(std::size_t listed, SummaryDetail detail) const;

private:
  std::size_t seen_ = 0;
  std::size_t repaired_ = 0;
  std::size_t repairable_ = 0;
  // Cut at a root directory a reader can read, with a fault further inside the heap.
  std::size_t repairedDamaged_ = 0;
  std::size_t repairableDamaged_ = 0;
  std::size_t healthy_ = 0;
  std::size_t damagedInside_ = 0;
  std::size_t failed_ = 0;
  // Not repairable, and not CRW files at all, by reason (the reason's stable name).
  std::map<std::string, std::size_t> unrepairable_;
  std::map<std::string, std::size_t> notCrw_;
};

}  // namespace tailmend

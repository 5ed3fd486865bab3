#pragma once

#include <cstddef>
#include <map>
#include <string>

#include "engine/run_outcomes.h"

namespace tailmend {

// Counts what became of the files of a run, for the one line that closes its report.
class RunSummary {
public:
  void CountRow(const FileResult& result);
  // A file that failed with no row of its own (it could not be opened, changed meanwhile, could
  // not be cut or written); a failure beside a row is counted with the row.
  void CountFailedFile();

  // "7 files seen: 2 repaired, 1 healthy, 2 not repairable (1 too-small, 1 no-heap-end), 1 failed",
  // naming only what happened; listed files the run never reached (a stop) are said last.
  std::string Text(std::size_t listed) const;

private:
  std::size_t seen_ = 0;
  std::size_t repaired_ = 0;
  std::size_t repairable_ = 0;
  std::size_t healthy_ = 0;
  std::size_t damagedInside_ = 0;
  std::size_t failed_ = 0;
  // Not repairable, by reason (the reason's stable name).
  std::map<std::string, std::size_t> unrepairable_;
};

}  // namespace tailmend

#pragma once

#include <optional>
#include <string>

#include "engine/run_outcomes.h"

namespace tailmend {

// One row of the main window's event list: its number, its file, and what became of the file (its
// result, none for a file that failed without one, and the failure beside it or in its place).
struct EventListRow {
  std::string number;
  std::string file;
  std::optional<FileResult> result;
  std::optional<FileFailure> failure;
};

}  // namespace tailmend

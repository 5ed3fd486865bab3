#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/run_outcomes.h"

namespace tailmend {

// One row of the event list, as the report gives it: its number, its file, and what became of it.
struct ReportRow {
  std::string number;
  std::string file;
  std::optional<FileResult> result;
  std::optional<FileFailure> failure;
};

// The rows as a CSV file that a spreadsheet opens: UTF-8 behind a byte-order mark, CR LF line ends,
// a first line of column names ("no", then the fields of tailmend-cli --json, the damage's and the
// failure's members as "damage.fault" and so on), then one line per row. An empty cell is a null;
// the entries of a damage are joined with "/". A text that a spreadsheet would take for a formula
// (it begins with =, +, - or @: a camera's name field can hold anything) starts with an apostrophe.
std::string CsvReport(const std::vector<ReportRow>& rows);

}  // namespace tailmend

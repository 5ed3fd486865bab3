#pragma once

#include <string>
#include <vector>

#include "ui/behaviour/run_progress.h"

namespace tailmend {

// The event list's rows as a CSV file that a spreadsheet opens: UTF-8 behind a byte-order mark, CR LF
// line ends, a first line of column names ("no", then the fields of tailmend-cli --json, the
// damage's and the failure's members as "damage.fault" and so on), then one line per row, numbered
// as the list numbers it. An empty cell is a null;
// the entries of a damage are joined with "/". A text that a spreadsheet would take for a formula
// (it begins with =, +, - or @: a camera's name field can hold anything) starts with an apostrophe.
std::string CsvReport(const std::vector<EventRow>& rows);

}  // namespace tailmend

#pragma once

#include <optional>
#include <string>

#include "engine/record_fields.h"
#include "engine/run_outcomes.h"

namespace tailmend {

// What --json prints for one file, as one line: the file, its event and what the verdict found,
// and the failure beside the event or, for a file with no event row, in its place.
std::string FileRecordJson(const std::string& file, const std::optional<FileResult>& row,
                           const std::optional<FileFailure>& failure);

}  // namespace tailmend

#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "engine/run_outcomes.h"

namespace tailmend {

// What a report says failed, before the system's reason: "cannot open", "backup failed", ...
std::string_view FailureLead(FailureKind kind);

// What --json prints for one file, as one line: the file, its event and what the verdict found,
// and the failure beside the event or, for a file with no event row, in its place.
std::string FileRecordJson(const std::string& file, const std::optional<FileResult>& row,
                           const std::optional<FileFailure>& failure);

}  // namespace tailmend

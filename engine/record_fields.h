#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "engine/run_outcomes.h"

namespace tailmend {

// What a report says failed, before the system's reason: "cannot open", "backup failed", ...
std::string_view FailureLead(FailureKind kind);

// A field's value: none (null), a text, a whole number, yes or no, or a list of texts.
using RecordValue = std::variant<std::monostate, std::string, std::int64_t, bool, std::vector<std::string>>;

// One field of a file's record; an object is a field whose members are fields of their own.
struct RecordField {
  std::string name;
  RecordValue value{};
  bool object = false;
  std::vector<RecordField> members{};
};

// How a record is laid out for the report that prints it.
enum class RecordShape {
  // As tailmend-cli --json prints it: the damage and the failure are objects (or null), the detail
  // of a reason (looks_like, header_offset, missing_end) is there only with that reason, and a
  // file with no event row has only its name, its event (null) and its failure.
  Nested,
  // As a table holds it: every field of every record, null where it says nothing, the members of
  // the damage and the failure as fields of their own ("damage.fault", "failure.reason").
  Flat,
};

// The fields of one file's record: the file, its event and what its verdict found, its backup, and
// the failure beside the event or, for a file with no event row, in its place. Their names and the
// meaning of their values never change.
std::vector<RecordField> FileRecordFields(const std::string& file, const std::optional<FileResult>& row,
                                          const std::optional<FileFailure>& failure, RecordShape shape);

}  // namespace tailmend

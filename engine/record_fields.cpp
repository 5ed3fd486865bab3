#include "engine/record_fields.h"

#include <cstdio>
#include <utility>

#include "engine/heap_reader.h"

namespace tailmend {

namespace {

std::string TagText(std::uint16_t tag) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%04x", tag);
  return text;
}

template <typename Value>
RecordValue ValueOrNull(bool present, Value value) {
  if (!present) return std::monostate{};
  return RecordValue(std::move(value));
}

// Adds fields in the record's shape: a field with a value, a detail only a nested record leaves
// out when it has none, a section (the verdict, an object) that a nested record leaves out or
// writes as null when absent and a flat one fills with nulls.
class RecordWriter {
public:
  explicit RecordWriter(RecordShape shape, std::string prefix = "") : shape_(shape), prefix_(std::move(prefix)) {}

  void Field(std::string_view name, RecordValue value) {
    fields_.push_back({prefix_ + std::string(name), std::move(value)});
  }

  void Detail(std::string_view name, bool present, RecordValue value) {
    if (present || shape_ == RecordShape::Flat) Field(name, present ? std::move(value) : std::monostate{});
  }

  // A nested record holds the object as one field (null when absent); a flat one its members.
  template <typename Fill>
  void Object(std::string_view name, bool present, Fill fill) {
    if (shape_ == RecordShape::Flat) {
      RecordWriter members(shape_, prefix_ + std::string(name) + ".");
      fill(members);
      for (RecordField& member : members.fields_) fields_.push_back(std::move(member));
      return;
    }
    if (!present) return Field(name, std::monostate{});
    RecordWriter members(shape_);
    fill(members);
    fields_.push_back({prefix_ + std::string(name), std::monostate{}, true, std::move(members.fields_)});
  }

  bool Flat() const { return shape_ == RecordShape::Flat; }
  std::vector<RecordField> Fields() && { return std::move(fields_); }

private:
  RecordShape shape_;
  std::string prefix_;
  std::vector<RecordField> fields_;
};

std::vector<std::string> EntryTags(const HeapDamage& damage) {
  std::vector<std::string> tags;
  for (const std::uint16_t tag : damage.Tags()) tags.push_back(TagText(tag));
  return tags;
}

void AddDamage(RecordWriter& record, const std::optional<HeapDamage>& damage) {
  record.Object("damage", damage.has_value(), [&damage](RecordWriter& members) {
    const bool present = damage.has_value();
    members.Field("fault", ValueOrNull(present, present ? std::string(StableName(damage->fault)) : ""));
    members.Field("entries", ValueOrNull(present, present ? EntryTags(*damage) : std::vector<std::string>{}));
    members.Field("offset", ValueOrNull(present, present ? static_cast<std::int64_t>(damage->offset) : 0));
  });
}

// The reason a file is not repairable, with the detail only that reason has.
void AddUnrepairableReason(RecordWriter& record, const FileVerdict* verdict) {
  const bool unrepairable = verdict != nullptr && verdict->verdict == Verdict::NotRepairable;
  const UnrepairableReason reason = unrepairable ? verdict->reason : UnrepairableReason::None;
  record.Field("reason", ValueOrNull(unrepairable, std::string(StableName(reason))));
  record.Detail("looks_like", reason == UnrepairableReason::NoCiffHeader,
                std::string(verdict != nullptr ? StableName(verdict->lookalike) : ""));
  record.Detail("header_offset", reason == UnrepairableReason::HeaderNotAtStart,
                std::int64_t{verdict != nullptr ? verdict->headerOffset : 0});
  record.Detail("missing_end", reason == UnrepairableReason::NoHeapEnd,
                std::string(verdict != nullptr ? StableName(verdict->missingEnd) : ""));
}

std::optional<std::string> CaptureTime(const FileVerdict& verdict) {
  if (!verdict.captureTime) return std::nullopt;
  return CaptureTimeText(*verdict.captureTime);
}

RecordValue TextOrNull(const std::optional<std::string>& text) {
  return ValueOrNull(text.has_value(), text.value_or(""));
}

// What the verdict found; in a flat record, nulls for a file that has no row.
void AddVerdict(RecordWriter& record, const FileResult* row) {
  const FileVerdict* verdict = row != nullptr ? &row->verdict : nullptr;
  const FileVerdict none;
  const FileVerdict& found = verdict != nullptr ? *verdict : none;
  record.Field("verdict", ValueOrNull(verdict != nullptr, std::string(StableName(found.verdict))));
  record.Field("size", ValueOrNull(found.size.has_value(), std::int64_t{found.size.value_or(0)}));
  record.Field("length", ValueOrNull(verdict != nullptr && found.tail >= 0, static_cast<std::int64_t>(found.tail)));
  record.Field("junk", ValueOrNull(verdict != nullptr, std::int64_t{found.junk}));
  record.Field("trailer_kept", ValueOrNull(verdict != nullptr, found.trailerKept));
  AddUnrepairableReason(record, verdict);
  AddDamage(record, found.damage);
  record.Field("original_name", TextOrNull(found.originalFileName));
  record.Field("capture_time", TextOrNull(CaptureTime(found)));
  const bool backedUp = row != nullptr && !row->backup.empty();
  record.Field("backup", ValueOrNull(backedUp, backedUp ? row->backup : ""));
}

void AddFailure(RecordWriter& record, const std::optional<FileFailure>& failure) {
  record.Object("failure", failure.has_value(), [&failure](RecordWriter& members) {
    members.Field("what", ValueOrNull(failure.has_value(), std::string(failure ? FailureLead(failure->kind) : "")));
    members.Field("reason", ValueOrNull(failure.has_value(), failure ? failure->reason : ""));
  });
}

}  // namespace

std::string_view FailureLead(FailureKind kind) {
  switch (kind) {
    case FailureKind::Open: return "cannot open";
    case FailureKind::Read: return "cannot read";
    case FailureKind::Backup: return "backup failed";
    case FailureKind::Changed: return "not cut";
    case FailureKind::Cut: return "cannot cut";
    case FailureKind::Write: return "not written";
  }
  return "failed";
}

std::vector<RecordField> FileRecordFields(const std::string& file, const std::optional<FileResult>& row,
                                          const std::optional<FileFailure>& failure, RecordShape shape) {
  RecordWriter record(shape);
  record.Field("file", file);
  record.Field("event", ValueOrNull(row.has_value(), std::string(row ? EventText(row->event) : "")));
  if (row || record.Flat()) AddVerdict(record, row ? &*row : nullptr);
  AddFailure(record, failure);
  return std::move(record).Fields();
}

}  // namespace tailmend

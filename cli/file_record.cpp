#include "cli/file_record.h"

#include <cstdio>

#include "cli/json_text.h"

namespace tailmend {

namespace {

std::string TagText(std::uint16_t tag) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%04x", tag);
  return text;
}

JsonObject DamageJson(const HeapDamage& damage) {
  std::string entries = "[";
  for (const std::uint16_t tag : damage.Tags()) {
    if (entries.size() > 1) entries += ',';
    entries += JsonString(TagText(tag));
  }
  entries += ']';
  JsonObject object;
  object.Add("fault", StableName(damage.fault))
      .AddJson("entries", entries)
      .Add("offset", static_cast<std::int64_t>(damage.offset));
  return object;
}

// The reason a file is not repairable, with the detail only that reason has.
void AddUnrepairableReason(JsonObject& object, const FileVerdict& verdict) {
  if (verdict.verdict != Verdict::NotRepairable) {
    object.AddNull("reason");
    return;
  }
  object.Add("reason", StableName(verdict.reason));
  switch (verdict.reason) {
    case UnrepairableReason::NoCiffHeader: object.Add("looks_like", StableName(verdict.lookalike)); break;
    case UnrepairableReason::HeaderNotAtStart:
      object.Add("header_offset", std::int64_t{verdict.headerOffset});
      break;
    case UnrepairableReason::NoHeapEnd: object.Add("missing_end", StableName(verdict.missingEnd)); break;
    default: break;
  }
}

void AddOptionalText(JsonObject& object, std::string_view key, const std::optional<std::string>& text) {
  if (text) {
    object.Add(key, *text);
  } else {
    object.AddNull(key);
  }
}

void AddVerdict(JsonObject& object, const FileVerdict& verdict) {
  object.Add("verdict", StableName(verdict.verdict));
  if (verdict.size) {
    object.Add("size", std::int64_t{*verdict.size});
  } else {
    object.AddNull("size");
  }
  if (verdict.tail >= 0) {
    object.Add("length", static_cast<std::int64_t>(verdict.tail));
  } else {
    object.AddNull("length");
  }
  object.Add("junk", std::int64_t{verdict.junk}).Add("trailer_kept", verdict.trailerKept);
  AddUnrepairableReason(object, verdict);
  if (verdict.damage) {
    object.Add("damage", DamageJson(*verdict.damage));
  } else {
    object.AddNull("damage");
  }
  AddOptionalText(object, "original_name", verdict.originalFileName);
  const auto captured = verdict.captureTime ? std::optional(CaptureTimeText(*verdict.captureTime)) : std::nullopt;
  AddOptionalText(object, "capture_time", captured);
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

std::string FileRecordJson(const std::string& file, const std::optional<FileResult>& row,
                           const std::optional<FileFailure>& failure) {
  JsonObject object;
  object.Add("file", file);
  if (row) {
    object.Add("event", EventText(row->event));
    AddVerdict(object, row->verdict);
  } else {
    object.AddNull("event");
  }
  if (failure) {
    JsonObject what;
    what.Add("what", FailureLead(failure->kind)).Add("reason", failure->reason);
    object.Add("failure", what);
  } else {
    object.AddNull("failure");
  }
  return object.Text();
}

}  // namespace tailmend

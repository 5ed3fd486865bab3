#include "cli/json_text.h"

#include <cstddef>

namespace tailmend {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// The length of the well-formed UTF-8 sequence at the start of text, or 0 when there is none:
// overlong forms, surrogates and code points past U+10FFFF are not well formed.
std::size_t Utf8SequenceLength(std::string_view text) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (text.size() < length) return 0;
  if (byte(1) < low || byte(1) > high) return 0;
  for (std::size_t k = 2; k < length; ++k) {
    if (byte(k) < 0x80 || byte(k) > 0xBF) return 0;
  }
  return length;
}

void AppendEscaped(std::string& out, unsigned char c) {
  static constexpr char kHexDigits[] = "0123456789abcdef";
  switch (c) {
    case '"': out += "\\\""; break;
    case '\\': out += "\\\\"; break;
    case '\n': out += "\\n"; break;
    case '\r': out += "\\r"; break;
    case '\t': out += "\\t"; break;
    default:
      out += "\\u00";
      out += kHexDigits[c >> 4];
      out += kHexDigits[c & 0x0F];
  }
}

bool NeedsEscape(unsigned char c) { return c < 0x20 || c == '"' || c == '\\'; }

}  // namespace

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  out.reserve(text.size() + 2);
  while (!text.empty()) {
    const std::size_t length = Utf8SequenceLength(text);
    if (length == 0) {
      out += kReplacement;
      text.remove_prefix(1);
      continue;
    }
    const auto first = static_cast<unsigned char>(text[0]);
    if (length == 1 && NeedsEscape(first)) {
      AppendEscaped(out, first);
    } else {
      out += text.substr(0, length);
    }
    text.remove_prefix(length);
  }
  return out + "\"";
}

JsonObject& JsonObject::AddJson(std::string_view key, std::string_view json) {
  if (!members_.empty()) members_ += ',';
  members_ += JsonString(key);
  members_ += ':';
  members_ += json;
  return *this;
}

JsonObject& JsonObject::Add(std::string_view key, std::string_view text) { return AddJson(key, JsonString(text)); }

JsonObject& JsonObject::Add(std::string_view key, std::int64_t number) { return AddJson(key, std::to_string(number)); }

JsonObject& JsonObject::Add(std::string_view key, bool value) { return AddJson(key, value ? "true" : "false"); }

JsonObject& JsonObject::Add(std::string_view key, const JsonObject& object) { return AddJson(key, object.Text()); }

JsonObject& JsonObject::AddNull(std::string_view key) { return AddJson(key, "null"); }

}  // namespace tailmend

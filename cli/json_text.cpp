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

// The code point of a well-formed sequence of the given length.
char32_t CodePoint(std::string_view sequence, std::size_t length) {
  static constexpr unsigned char kLeadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
  char32_t point = static_cast<unsigned char>(sequence[0]) & kLeadBits[length];
  for (std::size_t k = 1; k < length; ++k) point = (point << 6) | (static_cast<unsigned char>(sequence[k]) & 0x3F);
  return point;
}

// Besides quotes and backslashes: the control characters (C0, DEL and C1, the next line U+0085
// among them) and the line and paragraph separators U+2028 and U+2029, which line splitters
// (Python's, JavaScript's, Unicode's own rules) may take for the end of a line. Written as
// escapes, each record stays one line whatever splits them.
bool NeedsEscape(char32_t c) {
  return c < 0x20 || c == '"' || c == '\\' || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029;
}

void AppendEscaped(std::string& out, char32_t c) {
  static constexpr char kHexDigits[] = "0123456789abcdef";
  switch (c) {
    case '"': out += "\\\""; break;
    case '\\': out += "\\\\"; break;
    case '\n': out += "\\n"; break;
    case '\r': out += "\\r"; break;
    case '\t': out += "\\t"; break;
    default:
      out += "\\u";
      for (int shift = 12; shift >= 0; shift -= 4) out += kHexDigits[(c >> shift) & 0x0F];
  }
}

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
    const char32_t point = CodePoint(text, length);
    if (NeedsEscape(point)) {
      AppendEscaped(out, point);
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

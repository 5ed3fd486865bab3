#include "cli/escaped_name.h"

#include "platform/path_names.h"

namespace tailmend {

namespace {

// Where the system takes a backslash for a folder separator (Windows, whose names cannot hold a
// control character either), paths stay as the user typed them.
bool BackslashCanBeInAName() { return FileNameStart("\\") == 0; }

constexpr unsigned char kDelete = 0x7F;

bool IsControl(unsigned char c) { return c < 0x20 || c == kDelete; }

void AppendEscape(std::string& out, unsigned char c) {
  static constexpr char kHexDigits[] = "0123456789ABCDEF";
  switch (c) {
    case '\t': out += "\\t"; break;
    case '\n': out += "\\n"; break;
    case '\r': out += "\\r"; break;
    default:
      out += "\\x";
      out += kHexDigits[c >> 4];
      out += kHexDigits[c & 0x0F];
  }
}

}  // namespace

std::string EscapedName(std::string_view name) {
  std::string out;
  out.reserve(name.size());
  for (const char raw : name) {
    const auto c = static_cast<unsigned char>(raw);
    if (IsControl(c)) {
      AppendEscape(out, c);
    } else if (c == '\\' && BackslashCanBeInAName()) {
      out += "\\\\";
    } else {
      out += raw;
    }
  }
  return out;
}

}  // namespace tailmend

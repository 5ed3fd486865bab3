// tailmend-cli's argument parser and the escaping of file names in its report, on arguments made
// of the fuzzer's input split at zero bytes.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "cli/escaped_name.h"
#include "cli/options.h"

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads the escaped form back; nothing when it is not one the report could have printed.
std::optional<std::string> Unescaped(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    if (++i == text.size()) return std::nullopt;
    switch (text[i]) {
      case 't': out += '\t'; break;
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      case '\\': out += '\\'; break;
      case 'x': {
        if (i + 2 >= text.size()) return std::nullopt;
        const int high = HexValue(text[i + 1]);
        const int low = HexValue(text[i + 2]);
        if (high < 0 || low < 0) return std::nullopt;
        out += static_cast<char>(high * 16 + low);
        i += 2;
        break;
      }
      default: return std::nullopt;
    }
  }
  return out;
}

// One report line per file: no control character survives, and the name can be read back.
void CheckEscaping(const std::string& name) {
  const std::string escaped = tailmend::EscapedName(name);
  for (const char c : escaped) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) std::abort();
  }
  if (Unescaped(escaped) != name) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> arguments(1);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      arguments.emplace_back();
    } else {
      arguments.back() += static_cast<char>(data[i]);
    }
  }
  std::string error;
  const auto options = tailmend::ParseOptions(arguments, error);
  if (!options && error.empty()) std::abort();  // a usage error always says why
  if (options && options->files.empty() && !options->help && !options->version) std::abort();
  for (const auto& argument : arguments) CheckEscaping(argument);
  return 0;
}

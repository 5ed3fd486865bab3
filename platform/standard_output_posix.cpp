#include <cerrno>
#include <cstdio>

#include "platform/standard_output.h"
#include "platform/system_error_text.h"

namespace tailmend {

std::optional<std::string> WriteOutput(OutputStream stream, std::string_view text) {
  std::FILE* file = stream == OutputStream::Out ? stdout : stderr;
  if (std::fwrite(text.data(), 1, text.size(), file) == text.size() && std::fflush(file) == 0) return std::nullopt;
  return SystemMessage(errno);
}

}  // namespace tailmend

#include "tests/cli/cli_runner.h"

namespace tailmend::test {

std::string Lines(std::initializer_list<std::string> lines) {
  std::string text;
  for (const std::string& line : lines) text += line + kLineEnd;
  return text;
}

}  // namespace tailmend::test

#include "tests/cli/cli_runner.h"

#include <regex>

namespace tailmend::test {

void TakeSummary(CliRun& run) {
  static const std::regex kSummary("(^|\\n)(tailmend-cli: [0-9]+ files?(?:[:;][^\\r\\n]*)?)\\r?\\n$");
  std::smatch match;
  if (!std::regex_search(run.err, match, kSummary)) return;
  run.summary = match[2];
  run.err.erase(static_cast<std::size_t>(match.position(2)));
}

std::string Lines(std::initializer_list<std::string> lines) {
  std::string text;
  for (const std::string& line : lines) text += line + kLineEnd;
  return text;
}

}  // namespace tailmend::test

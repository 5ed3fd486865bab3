#include "ui/behaviour/listed_lines.h"

namespace tailmend {

std::string ListedLines(const std::vector<std::string>& lines) {
  std::string text;
  for (std::size_t k = 0; k < lines.size() && k < kMostListedLines; ++k) text += (k > 0 ? "\n" : "") + lines[k];
  if (lines.size() > kMostListedLines) text += "\n... and " + std::to_string(lines.size() - kMostListedLines) + " more";
  return text;
}

}  // namespace tailmend

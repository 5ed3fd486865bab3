#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tailmend {

// A box or a tooltip that could list without end tells what happened with its first lines.
inline constexpr std::size_t kMostListedLines = 10;

// The lines, one each, at most kMostListedLines of them, then "... and N more".
std::string ListedLines(const std::vector<std::string>& lines);

}  // namespace tailmend

#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tailmend {

struct CliOptions {
  bool backup = false;
  bool check = false;
  bool help = false;
  // One JSON object per file, with its verdict, in place of the tab-separated lines.
  bool json = false;
  bool version = false;
  // Where repaired copies go, leaving the originals as they are; empty to repair in place.
  std::string out;
  // The FILE and FOLDER arguments, as given.
  std::vector<std::string> files;
};

// Reads `[OPTION]... [--] FILE|FOLDER...`, options anywhere before "--". Returns nothing for a usage
// error, with the reason in error.
std::optional<CliOptions> ParseOptions(const std::vector<std::string>& arguments, std::string& error);

extern const char* const kUsageText;

}  // namespace tailmend

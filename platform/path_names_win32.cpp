#include "platform/path_names.h"

namespace tailmend {

std::size_t FileNameStart(std::string_view path) {
  const auto separator = path.find_last_of("\\:");
  return separator == std::string_view::npos ? 0 : separator + 1;
}

// A folder that already ends in a separator (C:\ or D:) takes the name as it is.
std::string PathInFolder(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (!path.empty() && FileNameStart(path) != path.size()) path += '\\';
  return path.append(name);
}

}  // namespace tailmend

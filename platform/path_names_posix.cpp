#include "platform/path_names.h"

namespace tailmend {

std::size_t FileNameStart(std::string_view path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string_view::npos ? 0 : slash + 1;
}

std::string PathInFolder(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (!path.empty() && path.back() != '/') path += '/';
  return path.append(name);
}

}  // namespace tailmend

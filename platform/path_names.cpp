#include "platform/path_names.h"

namespace tailmend {

std::string FileNameOf(std::string_view path) { return std::string(path.substr(FileNameStart(path))); }

}  // namespace tailmend

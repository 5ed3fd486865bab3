#include "platform/system_error_text.h"

namespace tailmend {

namespace {

#ifdef _WIN32
constexpr const char* kLineBreak = "\r\n";
#else
constexpr const char* kLineBreak = "\n";
#endif

}  // namespace

std::string TrimSystemMessage(std::string message) {
  while (!message.empty()) {
    const auto last = static_cast<unsigned char>(message.back());
    if (last > 0x20 && last != '.') break;
    message.pop_back();
  }
  return message;
}

std::string OpenErrorText(const std::string& path, int code) {
  return "Cannot open file \"" + path + "\". " + SystemMessage(code);
}

std::string FolderErrorText(const std::string& path, int code) {
  return "Cannot read folder \"" + path + "\". " + SystemMessage(code);
}

std::string SystemErrorText(int code) {
  if (code == 0) return "A call to an OS function failed";
  return "System Error.  Code: " + std::to_string(code) + "." + kLineBreak + SystemMessage(code);
}

}  // namespace tailmend

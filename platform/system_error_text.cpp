#include "platform/system_error_text.h"

namespace tailmend {

namespace {

#ifdef _WIN32
constexpr const char* kLineBreak = "\r\n";
#else
constexpr const char* kLineBreak = "\n";
#endif

// The system's message, or the general text where it gave no code.
std::string ReasonOf(int code) { return code == 0 ? SystemErrorText(0) : SystemMessage(code); }

}  // namespace

std::string TrimSystemMessage(std::string message) {
  while (!message.empty()) {
    const auto last = static_cast<unsigned char>(message.back());
    if (last > 0x20 && last != '.') break;
    message.pop_back();
  }
  return message;
}

std::string OpenErrorText(const std::string& path, int code) { return OpenErrorText(path, SystemMessage(code)); }

std::string OpenErrorText(const std::string& path, const std::string& reason) {
  return "Cannot open file \"" + path + "\". " + reason;
}

std::string FolderErrorText(const std::string& path, int code) {
  return "Cannot read folder \"" + path + "\". " + SystemMessage(code);
}

std::string SystemErrorText(int code) {
  if (code == 0) return "A call to an OS function failed";
  return "System Error.  Code: " + std::to_string(code) + "." + kLineBreak + SystemMessage(code);
}

PlatformError OpenError(const std::string& path, int code) {
  return PlatformError(OpenErrorText(path, code), ReasonOf(code));
}

PlatformError OpenError(const std::string& path, const std::string& reason) {
  return PlatformError(OpenErrorText(path, reason), reason);
}

PlatformError FolderError(const std::string& path, int code) {
  return PlatformError(FolderErrorText(path, code), ReasonOf(code));
}

PlatformError MakeFolderError(const std::string& path, int code) {
  return PlatformError("Cannot make folder \"" + path + "\". " + SystemMessage(code), ReasonOf(code));
}

PlatformError OpenFolderError(const std::string& path, int code) {
  return PlatformError("Cannot open folder \"" + path + "\". " + SystemMessage(code), ReasonOf(code));
}

PlatformError SystemError(int code) { return PlatformError(SystemErrorText(code), ReasonOf(code)); }

PlatformError InTheWayError(const std::string& path, const std::string& what) {
  return PlatformError("Cannot write \"" + path + "\": it is " + what, path + " is " + what);
}

}  // namespace tailmend

#include <windows.h>
#include <shellapi.h>

#include "platform/command_line.h"

namespace tailmend {

namespace {

std::string ToUtf8(const wchar_t* text) {
  const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (length <= 1) return {};
  std::string result(static_cast<std::size_t>(length - 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, result.data(), length, nullptr, nullptr);
  return result;
}

}  // namespace

// argv holds the names in the ANSI code page, which cannot spell every file name: ask for the
// wide-character command line instead.
std::vector<std::string> CommandLineArguments(int, char**) {
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> result;
  for (int i = 1; arguments != nullptr && i < count; ++i) result.push_back(ToUtf8(arguments[i]));
  LocalFree(arguments);
  return result;
}

}  // namespace tailmend

#include <windows.h>
#include <shellapi.h>

#include <cwchar>

#include "platform/command_line.h"
#include "platform/wide_text_win32.h"

namespace tailmend {

// argv holds the names in the ANSI code page, which cannot spell every file name and may even
// turn one name into another by a best-fit mapping: ask for the wide-character command line.
std::vector<std::string> CommandLineArguments(int, char**) {
  int count = 0;
  wchar_t** arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  std::vector<std::string> result;
  for (int i = 1; arguments != nullptr && i < count; ++i) {
    result.push_back(Utf8FromWide(std::wstring_view(arguments[i], std::wcslen(arguments[i]))));
  }
  ::LocalFree(arguments);
  return result;
}

}  // namespace tailmend

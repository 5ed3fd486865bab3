#include <windows.h>

#include <memory>

#include "platform/system_error_text.h"
#include "platform/wide_text_win32.h"

namespace tailmend {

namespace {

struct LocalFreer {
  void operator()(wchar_t* text) const { ::LocalFree(text); }
};

}  // namespace

// Windows ends its messages with a full stop and CR LF; both go.
std::string SystemMessage(int code) {
  wchar_t* text = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  const std::unique_ptr<wchar_t, LocalFreer> owned(text);
  if (length == 0) return std::string();
  return TrimSystemMessage(Utf8FromWide(std::wstring_view(text, length)));
}

}  // namespace tailmend

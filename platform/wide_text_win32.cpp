#include "platform/wide_text_win32.h"

#include <windows.h>

#include <climits>

namespace tailmend {

namespace {

std::optional<std::wstring> Utf16FromUtf8(std::string_view text, DWORD flags) {
  if (text.empty()) return std::wstring();
  if (text.size() > INT_MAX) return std::nullopt;
  const int length = static_cast<int>(text.size());
  const int needed = ::MultiByteToWideChar(CP_UTF8, flags, text.data(), length, nullptr, 0);
  if (needed <= 0) return std::nullopt;
  std::wstring wide(static_cast<std::size_t>(needed), L'\0');
  ::MultiByteToWideChar(CP_UTF8, flags, text.data(), length, wide.data(), needed);
  return wide;
}

}  // namespace

std::optional<std::wstring> WideFromUtf8(std::string_view text) { return Utf16FromUtf8(text, MB_ERR_INVALID_CHARS); }

std::wstring WideTextFromUtf8(std::string_view text) { return Utf16FromUtf8(text, 0).value_or(std::wstring()); }

std::string Utf8FromWide(std::wstring_view text) {
  if (text.empty() || text.size() > INT_MAX) return std::string();
  const int length = static_cast<int>(text.size());
  const int needed = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return std::string();
  std::string narrow(static_cast<std::size_t>(needed), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), length, narrow.data(), needed, nullptr, nullptr);
  return narrow;
}

}  // namespace tailmend

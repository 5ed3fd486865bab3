#include "platform/extended_path_win32.h"

#include <windows.h>

#include "platform/wide_text_win32.h"

namespace tailmend {

namespace {

constexpr std::wstring_view kExtendedPrefix = L"\\\\?\\";
constexpr std::wstring_view kExtendedUncPrefix = L"\\\\?\\UNC\\";
constexpr std::wstring_view kDevicePrefix = L"\\\\.\\";
constexpr std::wstring_view kObjectManagerPrefix = L"\\??\\";
// What a server's share begins with, once the path is absolute.
constexpr std::wstring_view kUncStart = L"\\\\";
// A first guess at the absolute path's length; a longer one is asked for again at its size.
constexpr std::size_t kFullPathGuess = 512;

bool IsDeviceForm(std::wstring_view path) {
  return path.starts_with(kExtendedPrefix) || path.starts_with(kDevicePrefix) || path.starts_with(kObjectManagerPrefix);
}

}  // namespace

std::optional<std::wstring> FullPath(const std::wstring& path) {
  std::wstring full(path.size() + kFullPathGuess, L'\0');
  for (;;) {
    // The length written without its terminating null, or the room needed with it.
    const DWORD length = ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0) return std::nullopt;
    const bool fitted = length < full.size();
    full.resize(length);
    if (fitted) return full;
  }
}

std::wstring ExtendedPath(const std::wstring& path) {
  if (path.empty() || IsDeviceForm(path)) return path;
  const auto full = FullPath(path);
  // A reserved device name such as CON or NUL comes back as \\.\CON: a device, not a file.
  if (!full || IsDeviceForm(*full)) return full.value_or(path);
  if (full->starts_with(kUncStart)) return std::wstring(kExtendedUncPrefix) + full->substr(kUncStart.size());
  return std::wstring(kExtendedPrefix) + *full;
}

std::wstring WithoutExtendedPrefix(const std::wstring& path) {
  if (path.starts_with(kExtendedUncPrefix)) return std::wstring(kUncStart) + path.substr(kExtendedUncPrefix.size());
  if (path.starts_with(kExtendedPrefix)) return path.substr(kExtendedPrefix.size());
  return path;
}

std::optional<std::wstring> ExtendedPathFromUtf8(std::string_view path) {
  const auto wide = WideFromUtf8(path);
  if (!wide) return std::nullopt;
  return ExtendedPath(*wide);
}

}  // namespace tailmend

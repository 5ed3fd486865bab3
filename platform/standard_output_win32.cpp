#include <windows.h>

#include <algorithm>

#include "platform/standard_output.h"
#include "platform/system_error_text.h"
#include "platform/wide_text_win32.h"

namespace tailmend {

namespace {

// Older consoles refuse a single write much longer than this.
constexpr std::size_t kConsoleChunk = 8192;

// A console, rather than a file, a pipe or the NUL device (a character device too, but no console).
bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return ::GetFileType(handle) == FILE_TYPE_CHAR && ::GetConsoleMode(handle, &mode) != 0;
}

// Windows' own programs end lines of text in files and pipes with CR LF, as the C runtime does.
std::string WithCrLf(std::string_view text) {
  std::string lines;
  lines.reserve(text.size() + static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')));
  for (const char c : text) {
    if (c == '\n') lines += '\r';
    lines += c;
  }
  return lines;
}

// What a write that stored nothing without a complaint means: the disk or the pipe took no more.
constexpr DWORD kNothingWritten = ERROR_WRITE_FAULT;

// Chunks end between two characters, never between the halves of a surrogate pair. Returns the
// system's error code, or 0 once everything is written.
DWORD WriteToConsole(HANDLE console, std::wstring_view text) {
  while (!text.empty()) {
    std::size_t count = std::min(text.size(), kConsoleChunk);
    if (count < text.size() && IS_HIGH_SURROGATE(text[count - 1])) --count;
    DWORD written = 0;
    if (!::WriteConsoleW(console, text.data(), static_cast<DWORD>(count), &written, nullptr)) return ::GetLastError();
    if (written == 0) return kNothingWritten;
    text.remove_prefix(written);
  }
  return ERROR_SUCCESS;
}

DWORD WriteBytes(HANDLE handle, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    const auto count = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), MAXDWORD));
    if (!::WriteFile(handle, bytes.data(), count, &written, nullptr)) return ::GetLastError();
    if (written == 0) return kNothingWritten;
    bytes.remove_prefix(written);
  }
  return ERROR_SUCCESS;
}

}  // namespace

std::optional<std::string> WriteOutput(OutputStream stream, std::string_view text) {
  const HANDLE handle = ::GetStdHandle(stream == OutputStream::Out ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
  const std::string lines = WithCrLf(text);
  const DWORD code = IsConsole(handle) ? WriteToConsole(handle, WideTextFromUtf8(lines)) : WriteBytes(handle, lines);
  if (code == ERROR_SUCCESS) return std::nullopt;
  return SystemMessage(static_cast<int>(code));
}

}  // namespace tailmend

#include "ui/win32/rich_edit_stream.h"

#include <richedit.h>

#include <algorithm>
#include <cstring>

namespace tailmend {

namespace {

struct Source {
  std::string_view bytes;
  std::size_t position = 0;
};

DWORD CALLBACK ReadSource(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* delivered) {
  auto* source = reinterpret_cast<Source*>(cookie);
  const std::size_t count =
      std::min(source->bytes.size() - source->position, static_cast<std::size_t>(std::max(wanted, LONG{0})));
  std::memcpy(buffer, source->bytes.data() + source->position, count);
  source->position += count;
  *delivered = static_cast<LONG>(count);
  return 0;
}

}  // namespace

bool StreamIntoRichEdit(HWND richEdit, std::string_view bytes, UINT format) {
  Source source{bytes};
  EDITSTREAM stream{};
  stream.dwCookie = reinterpret_cast<DWORD_PTR>(&source);
  stream.pfnCallback = ReadSource;
  const LRESULT read = ::SendMessageW(richEdit, EM_STREAMIN, format, reinterpret_cast<LPARAM>(&stream));
  return stream.dwError == 0 && (read > 0 || bytes.empty());
}

}  // namespace tailmend

#include "ui/win32/controls.h"

#include <map>
#include <tuple>

#include "platform/wide_text_win32.h"

namespace tailmend {

namespace {

// A function of the system's user32.dll that older versions of Windows lack: null there.
template <typename Function>
Function SystemFunction(const char* name) {
  const FARPROC found = ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), name);
  // Through the type of a function without parameters, which any function pointer may be cast to.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

DWORD StyleOf(HWND window) { return static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE)); }
DWORD ExStyleOf(HWND window) { return static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_EXSTYLE)); }

struct SearchedControl {
  int id;
  HWND found;
};

BOOL CALLBACK MatchControl(HWND child, LPARAM data) {
  auto* search = reinterpret_cast<SearchedControl*>(data);
  if (::GetDlgCtrlID(child) != search->id) return TRUE;
  search->found = child;
  return FALSE;
}

}  // namespace

HFONT DesignedFont(const DesignFont& design) {
  // Fonts live as long as the program: every window of every kind shares the few it uses.
  static std::map<std::tuple<int, bool, bool>, HFONT> fonts;
  HFONT& font = fonts[{design.pixels, design.bold, design.underline}];
  if (font == nullptr) {
    const std::wstring family = WideForDisplay(kDesignFontFamily);
    font = ::CreateFontW(-design.pixels, 0, 0, 0, design.bold ? FW_BOLD : FW_NORMAL, FALSE,
                         design.underline ? TRUE : FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                         CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, family.c_str());
  }
  return font;
}

SIZE TextSize(const std::wstring& text, HFONT font) {
  HDC dc = ::GetDC(nullptr);
  const HGDIOBJ old = ::SelectObject(dc, font);
  SIZE size{};
  ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  ::SelectObject(dc, old);
  ::ReleaseDC(nullptr, dc);
  return size;
}

HBRUSH WhiteBrush() { return static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)); }

std::wstring WideForDisplay(std::string_view text) { return WideTextFromUtf8(text); }

int WindowDpi(HWND window) {
  static const auto perWindow = SystemFunction<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
  if (perWindow != nullptr) return static_cast<int>(perWindow(window));
  HDC screen = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  return dpi;
}

SIZE WindowSizeFor(SIZE client, DWORD style, DWORD exStyle, int dpi) {
  static const auto forDpi = SystemFunction<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
  RECT frame{0, 0, client.cx, client.cy};
  if (forDpi != nullptr) {
    forDpi(&frame, style, FALSE, exStyle, static_cast<UINT>(dpi));
  } else {
    ::AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  }
  return {frame.right - frame.left, frame.bottom - frame.top};
}

void PlaceCentred(HWND window, SIZE client, int dpi) {
  const SIZE size = WindowSizeFor(client, StyleOf(window), ExStyleOf(window), dpi);
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int left = work.left + (work.right - work.left - size.cx) / 2;
  const int top = work.top + (work.bottom - work.top - size.cy) / 2;
  ::SetWindowPos(window, nullptr, left, top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

void PlaceAt(HWND window, POINT topLeft, SIZE client, int dpi) {
  const SIZE size = WindowSizeFor(client, StyleOf(window), ExStyleOf(window), dpi);
  ::SetWindowPos(window, nullptr, topLeft.x, topLeft.y, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

void KeepSystemFromRescaling(HWND dialog) {
  static const auto behaviour =
      SystemFunction<BOOL(WINAPI*)(HWND, DIALOG_DPI_CHANGE_BEHAVIORS, DIALOG_DPI_CHANGE_BEHAVIORS)>(
          "SetDialogDpiChangeBehavior");
  if (behaviour != nullptr) behaviour(dialog, DDC_DISABLE_ALL, DDC_DISABLE_ALL);
}

HWND MakeControl(HWND parent, const wchar_t* windowClass, int id, const std::wstring& text, DWORD style,
                 const RECT& place, DWORD exStyle) {
  // Siblings overlap (the picture lies under the group boxes), so each control paints only itself.
  return ::CreateWindowExW(exStyle, windowClass, text.c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style,
                           place.left, place.top, place.right - place.left, place.bottom - place.top, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr), nullptr);
}

HWND FindControl(HWND window, int id) {
  SearchedControl search{id, nullptr};
  ::EnumChildWindows(window, MatchControl, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
  const int length = ::GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<std::size_t>(length < 0 ? 0 : length));
  return text;
}

}  // namespace tailmend

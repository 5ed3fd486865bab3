#include "ui/win32/tooltip.h"

#include <commctrl.h>

#include <stdexcept>

namespace tailmend {

namespace {

// Wide enough for a long folder name on one line; a tooltip given a width breaks its text at its
// line breaks.
constexpr int kTooltipWidth = 600;

TTTOOLINFOW ToolOf(HWND control, wchar_t* text) {
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = ::GetAncestor(control, GA_ROOT);
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = text;
  return tool;
}

}  // namespace

Tooltip::Tooltip(HWND control)
    : control_(control),
      tooltip_(::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                 ::GetAncestor(control, GA_ROOT), nullptr, ::GetModuleHandleW(nullptr), nullptr)) {
  if (tooltip_ == nullptr) throw std::runtime_error("The tooltip window could not be created");
  wchar_t none[] = L"";
  TTTOOLINFOW tool = ToolOf(control_, none);
  ::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  ::SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, kTooltipWidth);
}

void Tooltip::SetText(const std::wstring& text) {
  std::wstring shown = text;
  TTTOOLINFOW tool = ToolOf(control_, shown.data());
  ::SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace tailmend

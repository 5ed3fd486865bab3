#include "ui/win32/error_box.h"

#include <utility>

#include "ui/behaviour/error_box.h"
#include "ui/behaviour/product.h"
#include "ui/win32/controls.h"

namespace tailmend {

namespace {

ErrorBoxHook& CurrentHook() {
  static ErrorBoxHook hook;
  return hook;
}

}  // namespace

void ShowErrorBox(HWND owner, const std::wstring& text) {
  const std::wstring caption = WideForDisplay(kProgramTitle);
  if (CurrentHook()) {
    CurrentHook()(caption, text);
  } else {
    ::MessageBoxW(owner, text.c_str(), caption.c_str(), MB_ICONERROR | MB_OK);
  }
}

ErrorBoxHook SetErrorBoxHook(ErrorBoxHook hook) { return std::exchange(CurrentHook(), std::move(hook)); }

void RunGuarded(HWND owner, const std::function<void()>& handler) noexcept {
  RunGuarded(handler, [owner](const std::string& text) {
    try {
      ShowErrorBox(owner, WideForDisplay(text));
    } catch (...) {
      // Not even the box could be shown (no memory for its text): the program still goes on.
    }
  });
}

}  // namespace tailmend

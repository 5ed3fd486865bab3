#include "ui/win32/error_guard.h"

#include "ui/behaviour/error_box.h"
#include "ui/behaviour/product.h"
#include "ui/win32/controls.h"
#include "ui/win32/desktop_services.h"

namespace tailmend {

namespace {

// The program's title is the caption of every error box.
void ShowBox(HWND owner, const std::string& text) noexcept {
  try {
    CurrentServices().showErrorBox(owner, WideForDisplay(kProgramTitle), WideForDisplay(text));
  } catch (...) {
    // Not even the box could be shown (no memory for its text): the program still goes on.
  }
}

}  // namespace

void RunGuarded(HWND owner, const std::function<void()>& handler) noexcept {
  RunGuarded(handler, [owner](const std::string& text) { ShowBox(owner, text); });
}

void ShowErrorBox(HWND owner, const std::string& message) noexcept {
  try {
    ShowBox(owner, ErrorBoxText(message));
  } catch (...) {
    // The message could not even be copied: as above, the program goes on.
  }
}

}  // namespace tailmend

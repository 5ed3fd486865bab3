#include "ui/win32/error_guard.h"

#include "ui/behaviour/error_box.h"
#include "ui/behaviour/product.h"
#include "ui/win32/controls.h"
#include "ui/win32/desktop_services.h"

namespace tailmend {

// The program's title is the caption of every error box.
void RunGuarded(HWND owner, const std::function<void()>& handler) noexcept {
  RunGuarded(handler, [owner](const std::string& text) {
    try {
      CurrentServices().showErrorBox(owner, WideForDisplay(kProgramTitle), WideForDisplay(text));
    } catch (...) {
      // Not even the box could be shown (no memory for its text): the program still goes on.
    }
  });
}

}  // namespace tailmend

// Prints, in UTF-8, the selection (Edit1) of each of the window program's main windows on this
// desktop, one line each, so that a script can see what programs started by the installer's verb
// took from their command lines. Ends with status 1 when there is no such window.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/wide_text_win32.h"
#include "ui/behaviour/window_designs.h"
#include "ui/win32/design_drawing.h"

namespace {

// GetWindowText reads another program's control as it was created; the message asks the control.
std::string TextOf(HWND control) {
  std::wstring text(static_cast<std::size_t>(::SendMessageW(control, WM_GETTEXTLENGTH, 0, 0)), L'\0');
  ::SendMessageW(control, WM_GETTEXT, text.size() + 1, reinterpret_cast<LPARAM>(text.data()));
  return tailmend::Utf8FromWide(text);
}

}  // namespace

int main() {
  std::vector<std::string> selections;
  for (HWND window = nullptr; (window = ::FindWindowExW(nullptr, window, L"TfrmMain", nullptr)) != nullptr;) {
    HWND edit = tailmend::DesignControl(window, tailmend::MainWindowDesign(), "Edit1");
    if (edit == nullptr) return 1;
    selections.push_back(TextOf(edit));
  }
  for (const std::string& selection : selections) std::printf("%s\n", selection.c_str());
  return selections.empty() ? 1 : 0;
}

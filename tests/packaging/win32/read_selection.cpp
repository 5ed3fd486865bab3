// Prints, in UTF-8, the selection (Edit1) of the window program's main window on this desktop, so
// that a script can see what a program started by the installer's verb took from its command line.
// Ends with status 1 when there is no such window.
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/wide_text_win32.h"
#include "ui/behaviour/window_designs.h"
#include "ui/win32/design_drawing.h"

int main() {
  HWND window = ::FindWindowW(L"TfrmMain", nullptr);
  if (window == nullptr) return 1;
  HWND edit = tailmend::DesignControl(window, tailmend::MainWindowDesign(), "Edit1");
  if (edit == nullptr) return 1;
  // GetWindowText reads another program's control as it was created; the message asks the control.
  std::wstring text(static_cast<std::size_t>(::SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0)), L'\0');
  ::SendMessageW(edit, WM_GETTEXT, text.size() + 1, reinterpret_cast<LPARAM>(text.data()));
  std::printf("%s\n", tailmend::Utf8FromWide(text).c_str());
  return 0;
}

#include <windows.h>

#include "platform/command_line.h"
#include "ui/win32/application.h"
#include "ui/win32/error_guard.h"
#include "ui/win32/main.h"

// The window program: its arguments are files and folders to select ("Open with", the Explorer
// verb, files dropped onto the program or its shortcut), read as UTF-16 from the command line. A
// main window that cannot be made is reported in the standard error box.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const tailmend::Application application;
  int status = 1;
  tailmend::RunGuarded(nullptr, [&status] {
    tailmend::TfrmMain frmMain;
    frmMain.Show();
    const std::vector<std::string> paths = tailmend::CommandLineArguments(0, nullptr);
    if (!paths.empty()) tailmend::RunGuarded(frmMain.Handle(), [&] { frmMain.TakeDesktopFiles(paths); });
    status = tailmend::RunMessageLoop(frmMain.Handle());
  });
  return status;
}

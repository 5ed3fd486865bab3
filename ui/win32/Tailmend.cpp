#include <windows.h>

#include "ui/win32/application.h"
#include "ui/win32/error_guard.h"
#include "ui/win32/main.h"

// The window program: takes no arguments. A main window that cannot be made is reported in the
// standard error box.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const tailmend::Application application;
  int status = 1;
  tailmend::RunGuarded(nullptr, [&status] {
    tailmend::TfrmMain frmMain;
    frmMain.Show();
    status = tailmend::RunMessageLoop(frmMain.Handle());
  });
  return status;
}

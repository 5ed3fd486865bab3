#include <windows.h>

#include "ui/win32/application.h"
#include "ui/win32/main.h"

// The window program: takes no arguments.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const tailmend::Application application;
  tailmend::TfrmMain frmMain;
  frmMain.Show();
  return tailmend::RunMessageLoop(frmMain.Handle());
}

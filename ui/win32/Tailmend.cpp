#include <windows.h>

#include "platform/command_line.h"
#include "ui/win32/application.h"
#include "ui/win32/error_guard.h"
#include "ui/win32/gathering.h"
#include "ui/win32/main.h"

namespace {

// Started with files: handed to the window that gathers the files of the same Explorer selection,
// or else shown in a window of its own, which then gathers. The turn is held until that window
// gathers and no longer, so that an error box about its own files keeps no other program waiting.
int OpenWithFiles(const std::vector<std::string>& paths) {
  tailmend::GatheringTurn turn;
  if (tailmend::HandToGatheringWindow(paths)) return 0;
  tailmend::TfrmMain frmMain;
  frmMain.Show();
  frmMain.StartGathering();
  turn.End();
  tailmend::RunGuarded(frmMain.Handle(), [&] { frmMain.TakeDesktopFiles(paths); });
  return tailmend::RunMessageLoop(frmMain.Handle());
}

int OpenEmpty() {
  tailmend::TfrmMain frmMain;
  frmMain.Show();
  return tailmend::RunMessageLoop(frmMain.Handle());
}

}  // namespace

// The window program: its arguments are files and folders to select ("Open with", the Explorer
// verb, files dropped onto the program or its shortcut), read as UTF-16 from the command line. A
// main window that cannot be made is reported in the standard error box.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const tailmend::Application application;
  int status = 1;
  tailmend::RunGuarded(nullptr, [&status] {
    const std::vector<std::string> paths = tailmend::CommandLineArguments(0, nullptr);
    status = paths.empty() ? OpenEmpty() : OpenWithFiles(paths);
  });
  return status;
}

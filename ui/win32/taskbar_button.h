#pragma once

#include <windows.h>

#include "ui/behaviour/processing_dialog.h"

struct ITaskbarList3;

namespace tailmend {

// The progress bar of a window's button in the Windows taskbar, shown for as long as this lives
// and cleared when it goes. A system without one (no shell's taskbar) shows nothing.
class TaskbarButton {
public:
  explicit TaskbarButton(HWND window);
  TaskbarButton(const TaskbarButton&) = delete;
  TaskbarButton& operator=(const TaskbarButton&) = delete;
  ~TaskbarButton();

  void Show(const TaskbarProgress& progress);

private:
  HWND window_;
  ITaskbarList3* taskbar_ = nullptr;
};

}  // namespace tailmend

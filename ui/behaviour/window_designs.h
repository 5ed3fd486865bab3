#pragma once

#include "ui/behaviour/window_design.h"

namespace tailmend {

// The five windows' designs, drawn alike by the Qt and the Win32 window programs.
const WindowDesign& MainWindowDesign();
const WindowDesign& ProcessingDialogDesign();
const WindowDesign& DocumentViewerDesign();
const WindowDesign& AboutBoxDesign();
const WindowDesign& DetailsWindowDesign();

// The main window's event list's menu.
const MenuDesign& EventListMenuDesign();

}  // namespace tailmend

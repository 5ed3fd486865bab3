#pragma once

#include "ui/behaviour/window_design.h"

namespace tailmend {

// The four windows' designs, drawn alike by the Qt and the Win32 window programs.
const WindowDesign& MainWindowDesign();
const WindowDesign& ProcessingDialogDesign();
const WindowDesign& DocumentViewerDesign();
const WindowDesign& AboutBoxDesign();

}  // namespace tailmend

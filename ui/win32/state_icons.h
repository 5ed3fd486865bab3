#pragma once

#include <windows.h>
#include <commctrl.h>

#include "ui/behaviour/file_explanation.h"

namespace tailmend {

// The side of the event list's state icons on a screen of that density: 16 pixels at 96 dots per
// inch, scaled with the screen.
int StateIconSize(int dpi);

// The state's icon at that side, from the program's resources, made from the nearest of its
// pictures of 16 and 32 pixels (a larger one shrunk rather than a smaller one blown up); the caller
// destroys it. Null when the program carries none.
HICON LoadStateIcon(FileState state, int side);

// An image list of the five state icons at the screen's density, in the order of FileState, for a
// list view; the caller destroys it.
HIMAGELIST MakeStateImageList(int dpi);

}  // namespace tailmend

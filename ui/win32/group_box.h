#pragma once

#include <windows.h>

#include <string>

namespace tailmend {

// A group box that holds its controls, as the design places them in it: a window of its own,
// painted white so that the picture behind it is hidden there, with the system's group frame and
// caption. Tab and arrow keys go into it, and what its controls report goes on to the window it
// lies in.
HWND MakeGroupBox(HWND parent, int id, const std::wstring& caption, const RECT& place);

}  // namespace tailmend

#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "ui/behaviour/window_design.h"

namespace tailmend {

// The design's face at its size and style, made once for the program's whole life.
HFONT DesignedFont(const DesignFont& design);
HBRUSH WhiteBrush();

// The size a text takes in a font.
SIZE TextSize(const std::wstring& text, HFONT font);

// A UTF-8 text as the wide-character API takes it (WideTextFromUtf8): a byte that is no UTF-8 shows
// as a replacement character rather than hiding the rest, a name's unpaired surrogate as itself.
std::wstring WideForDisplay(std::string_view text);

// The dots per inch of the screen the window is on: each screen's own where the system knows it per
// window (Windows 10 from 1607 on), otherwise the whole desktop's.
int WindowDpi(HWND window);

// The size of the window that has a client area of the given size with these styles, its frame
// drawn for a screen of that many dots per inch.
SIZE WindowSizeFor(SIZE client, DWORD style, DWORD exStyle, int dpi);
// Gives a top-level window its client size and puts it in the middle of the screen's work area.
void PlaceCentred(HWND window, SIZE client, int dpi);
// Gives a top-level window its client size, its top left corner where the system suggests.
void PlaceAt(HWND window, POINT topLeft, SIZE client, int dpi);
// A dialog that lays out its own controls for a new density: the system is told not to move, size
// or give fonts to them as well (Windows 10 from 1703 on would).
void KeepSystemFromRescaling(HWND dialog);

// A child control at its place in its parent's client pixels (left, top, right, bottom), with the
// control identifier given.
HWND MakeControl(HWND parent, const wchar_t* windowClass, int id, const std::wstring& text, DWORD style,
                 const RECT& place, DWORD exStyle = 0);

// The control with that identifier anywhere inside the window (controls in group boxes included).
HWND FindControl(HWND window, int id);

std::wstring WindowText(HWND window);

}  // namespace tailmend

#pragma once

#include <windows.h>

#include <string_view>

#include "ui/behaviour/window_design.h"

namespace tailmend {

// The identifier of a window's first design control; the others follow in the design's order.
inline constexpr int kFirstControlId = 100;

// The command identifier of a menu's first item; the others follow in the design's order.
inline constexpr int kFirstMenuItemId = 1000;

// A popup menu of the design's items, each with its command identifier; the caller destroys it.
HMENU MakePopupMenu(const MenuDesign& design);
// The design of the menu item with that command identifier; null for any other command.
const MenuItemDesign* MenuItemOf(const MenuDesign& design, int id);

// A preview box is a sunken static control: its text in its middle until it is given a picture,
// which then takes the text's place, in its middle too.
inline constexpr DWORD kPreviewTextStyle = SS_CENTER | SS_CENTERIMAGE | SS_SUNKEN | SS_NOPREFIX;
inline constexpr DWORD kPreviewPictureStyle = SS_BITMAP | SS_CENTERIMAGE | SS_SUNKEN;

// Draws a window's design into it with the system's controls: each at its place in its parent,
// with its text and font, all scaled for a screen of that many dots per inch, created in the
// design's order, which is both the order of Tab and the order from front to back (a new control
// goes behind its siblings).
void DrawControls(HWND window, const WindowDesign& design, int dpi);
// Moves, sizes and gives fonts to the drawn controls for a screen of another density.
void LayOutControls(HWND window, const WindowDesign& design, int dpi);
// The window's client size on a screen of that density.
SIZE ClientSizeAt(const WindowDesign& design, int dpi);

// The window's control of that design name; null when it has none.
HWND DesignControl(HWND window, const WindowDesign& design, std::string_view name);
// The design of the control with that identifier; null for a control that is none of the design's.
const ControlDesign* DesignOf(const WindowDesign& design, int id);

// How a control of the design is painted, asked by WM_CTLCOLOR* messages: on a white window, white
// under the design's text colour, with the brush to return; null on other windows, which keep the
// system's colours.
HBRUSH DesignColours(const WindowDesign& design, HWND control, HDC dc);

}  // namespace tailmend

#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace tailmend {

// The face and size every window uses: Tahoma, 11 pixels high (8 points at 96 dots per inch).
inline constexpr int kWindowFontPixels = 11;

// Tahoma at a pixel height, made once for the program's whole life.
HFONT TahomaFont(int pixels, bool bold = false, bool underline = false);
HBRUSH WhiteBrush();

// A control's place: left, top, width and height in its parent's client pixels.
inline RECT Place(int left, int top, int width, int height) { return {left, top, left + width, top + height}; }

// The size a text takes in a font.
SIZE TextSize(const std::wstring& text, HFONT font);

// A UTF-8 text as the wide-character API takes it. A byte that is no UTF-8 shows as a replacement
// character rather than hiding the rest.
std::wstring WideForDisplay(std::string_view text);

// The size of the window that has a client area of the given size with these styles.
SIZE WindowSizeFor(SIZE client, DWORD style, DWORD exStyle);
// Gives a top-level window its client size and puts it in the middle of the screen's work area.
void PlaceCentred(HWND window, SIZE client);

// A child control at its place in its parent's client pixels, with the window font. Its control
// identifier is its design name, so it can be found with FindControl.
HWND MakeControl(HWND parent, const wchar_t* windowClass, int id, const std::wstring& text, DWORD style,
                 const RECT& place, DWORD exStyle = 0);
// A label that takes the size of its text in the given font.
HWND MakeLabel(HWND parent, int id, const std::wstring& text, POINT at, HFONT font = TahomaFont(kWindowFontPixels),
               DWORD extraStyle = 0);
HWND MakeButton(HWND parent, int id, const std::wstring& text, const RECT& place, DWORD extraStyle = BS_PUSHBUTTON);

// The control with that identifier anywhere inside the window (controls in group boxes included).
HWND FindControl(HWND window, int id);

std::wstring WindowText(HWND window);

}  // namespace tailmend

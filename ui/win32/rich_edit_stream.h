#pragma once

#include <windows.h>

#include <string_view>

namespace tailmend {

// Streams bytes into a RichEdit control, replacing its content: SF_RTF has the control read them
// as rich text, SF_TEXT as plain text in the system's 8-bit code page. False when the control
// reported that it could not read them.
bool StreamIntoRichEdit(HWND richEdit, std::string_view bytes, UINT format);

}  // namespace tailmend

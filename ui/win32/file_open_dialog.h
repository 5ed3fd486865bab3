#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tailmend {

// Characters the file dialog may first write its selection into: hundreds of camera names.
inline constexpr std::size_t kFileBufferChars = 32768;

// Asks the user for CRW files in the system's file-open dialog and returns their full paths in the
// dialog's order, none when the user cancelled: several at once, existing files only, no read-only
// box, resizable. It leaves the current folder where the user ended. A selection too long for the
// buffer is never cut: the dialog asks again with room for all of it.
std::vector<std::wstring> RunCrwOpenDialog(HWND owner, std::size_t firstBufferChars = kFileBufferChars);

// Asks the user where to save the event list's report, a CSV file, in the system's save dialog,
// proposing kReportFileName: the full path, or nothing when the user cancelled. Replacing a file
// is asked first; the current folder is left as it was.
std::wstring RunReportSaveDialog(HWND owner);

// The dialog's answer: one full path, or a folder followed by the names in it; each ends in a NUL
// and a second NUL ends the list.
std::vector<std::wstring> SplitSelection(std::wstring_view buffer);

// One showing of the dialog: true when it filled the buffer with the answer; otherwise false with
// the dialog's extended error, which is 0 when the user cancelled.
using DialogShowing = std::function<bool(std::wstring& buffer, DWORD& error)>;
// Shows the dialog until its answer fits: a buffer that was too small is grown to what the dialog
// asked for and the dialog is shown again. Empty when cancelled; raises on any other failure.
std::vector<std::wstring> ShowWithGrowingBuffer(std::size_t firstBufferChars, const DialogShowing& show);

// The next buffer after the dialog found one of `current` characters too small. The dialog puts
// the size it needed in the buffer's first character, which cannot hold more than 65535.
std::size_t GrownBufferSize(std::size_t current, wchar_t reportedNeed);

}  // namespace tailmend

#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ui/behaviour/window_design.h"
#include "ui/win32/desktop_services.h"

namespace tailmend::test {

// Stands in for the person and the desktop: records error boxes, opened pages, files shown in their
// folders and texts copied, answers the file dialogs, and puts the real services back afterwards.
// Fails a test that leaves a window open.
class WindowTest : public ::testing::Test {
protected:
  ~WindowTest() override;

  std::vector<std::pair<std::wstring, std::wstring>> errorBoxes;  // caption, text
  std::vector<std::wstring> openedPages;
  std::vector<std::wstring> shownInFolder;
  std::vector<std::wstring> copiedTexts;
  // Where the report's save dialog answers to save it; empty means the person cancelled.
  std::wstring reportFile;
  // What the file dialog answers next; empty means the person cancelled.
  std::vector<std::wstring> chosenFiles;
  int fileDialogsShown = 0;

private:
  DesktopServices Recorders();

  ScopedServices services_{Recorders()};
};

// The window's control of that name in its design; fails the test when there is none.
HWND Find(HWND window, const WindowDesign& design, std::string_view name);
std::wstring Text(HWND window);
std::string Utf8(const std::wstring& text);
// A control's place in its parent's client area: left, top, width, height.
RECT PlaceInParent(HWND control);
SIZE ClientSize(HWND window);
// The pixel height and face of the font a control draws with.
std::pair<int, std::wstring> FontOf(HWND control);

// Runs open, which is expected to show one of the program's dialogs modally, and calls inspect
// with that dialog from inside its modal loop, once it is on screen. A dialog that inspect leaves
// open is ended, so a failing test cannot hang.
void WithModal(const std::function<void()>& open, const std::function<void(HWND dialog)>& inspect);
// True while a dialog is on screen; a closed dialog is hidden at once and destroyed by its loop.
bool IsShown(HWND window);

// Handles the thread's messages until the condition holds; false when it does not within a minute.
bool PumpUntil(const std::function<bool()>& condition);

// Clicks a button or a label with the left mouse button, as a person would.
void Click(HWND control);
// Presses and releases a key on the focused control of a dialog, with the dialog's key handling.
void PressKey(HWND dialog, UINT key);
// What the close box does.
void PressCloseBox(HWND window);

}  // namespace tailmend::test

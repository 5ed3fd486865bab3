#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "engine/types.h"
#include "ui/win32/wic_picture.h"

namespace tailmend {

// The main window, drawn from its design. Its handlers keep the names of the design's handlers
// (Button7Click...).
class TfrmMain final {
public:
  TfrmMain();
  TfrmMain(const TfrmMain&) = delete;
  TfrmMain& operator=(const TfrmMain&) = delete;
  ~TfrmMain();

  HWND Handle() const { return handle_; }
  void Show();

  // What a repair run needs from the main window.
  const tailmend::FileList& SelectedFiles() const { return FileList; }
  void AddEventRow(const std::string& file, const std::string& event);
  bool BackupRequested() const;

private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

  void FormCreate();
  void FormClose();
  void Button1Click();
  void Button7Click();
  void Button4Click(std::string_view Sender);
  void Button3Click();
  void Button8Click();
  void Button6Click();

  void ShowPicture(int dpi);
  void DpiChanged(int dpi, const RECT& suggested);
  void Click(std::string_view control);
  HWND Item(std::string_view control) const;

  HWND handle_ = nullptr;
  Picture picture_;
  HBITMAP bitmap_ = nullptr;  // the picture as shown, at the screen's density
  // Created empty with the window, released when it closes.
  tailmend::FileList FileList;
};

// Runs the program's message loop until it is told to end; Tab and the arrow keys move between
// the main window's controls.
int RunMessageLoop(HWND mainWindow);

}  // namespace tailmend

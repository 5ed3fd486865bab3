#pragma once

#include <windows.h>

#include <string>

#include "engine/types.h"

namespace tailmend {

// The main window. Its controls keep the names of the window's design as control identifiers, and
// its handlers the names of the design's handlers (Button7Click...).
class TfrmMain final {
public:
  enum Control : int {
    Image1 = 100,
    GroupBox1,
    Label1,
    Edit1,
    Button1,
    Button7,
    CheckBox1,
    ListView1,
    GroupBox3,
    Button4,
    Button5,
    Button3,
    Button8,
    Button6,
  };

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
  void Button4Click(int Sender);
  void Button3Click();
  void Button8Click();
  void Button6Click();

  void CreateControls();
  void CreatePicture();
  void CreateEventList(HWND groupBox);
  void Click(int control);
  HWND Item(int control) const;

  HWND handle_ = nullptr;
  HBITMAP picture_ = nullptr;
  // Created empty with the window, released when it closes.
  tailmend::FileList FileList;
};

// Runs the program's message loop until it is told to end; Tab and the arrow keys move between
// the main window's controls.
int RunMessageLoop(HWND mainWindow);

}  // namespace tailmend

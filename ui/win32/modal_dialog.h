#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace tailmend {

// What the three dialogs share: each is created when it is shown, runs its own modal loop over the
// main window (disabled meanwhile) and is destroyed when the loop ends. It gets its controls when
// it is created (FormCreate) and runs FormShow when it is first shown, before it is first drawn.
// Every close request, the close box, Alt+F4 and Escape included, asks FormCloseQuery first.
// Every handler runs under the error guard.
class ModalDialog {
public:
  ModalDialog(const ModalDialog&) = delete;
  ModalDialog& operator=(const ModalDialog&) = delete;
  virtual ~ModalDialog() = default;

  // Shows the dialog and returns, with the result it was closed with, once it has closed.
  INT_PTR ShowModal(HWND owner);
  // The dialog's window while it is open, otherwise null.
  HWND Handle() const { return handle_; }
  void SetCaption(const std::wstring& caption);

protected:
  ModalDialog(std::wstring caption, SIZE client, bool whiteBackground);

  virtual void FormCreate() = 0;
  virtual void FormShow() {}
  virtual bool FormCloseQuery() { return true; }
  // A click on a button or a notifying label of the dialog.
  virtual void Click(int control) = 0;
  // Lets a dialog give a label its own text colour.
  virtual void ColourText(int /*control*/, HDC /*dc*/) {}
  // Lets a dialog give a control its own mouse pointer; true when it did.
  virtual bool SetPointer(int /*control*/) { return false; }

  // Ends the modal loop with the result, if FormCloseQuery allows it now.
  void Close(INT_PTR result);

private:
  static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void Created();
  void Showing();
  INT_PTR Colours(HWND control, HDC dc);

  std::wstring caption_;
  SIZE client_;
  bool whiteBackground_;
  HWND handle_ = nullptr;
  bool shown_ = false;
};

// Run with the dialog's window each time one of the program's dialogs is on screen with its modal
// loop running, after its first show; tests look at the dialog and act on it there, as a person
// would, instead of racing a timer.
using ModalHook = std::function<void(HWND dialog)>;
// Replaces the hook and returns the previous one; an empty hook calls nothing.
ModalHook SetModalHook(ModalHook hook);

}  // namespace tailmend

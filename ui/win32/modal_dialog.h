#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "ui/behaviour/window_design.h"

namespace tailmend {

// What the three dialogs share: each is created when it is shown, drawn from its design, runs its
// own modal loop over the main window (disabled meanwhile) and is destroyed when the loop ends. It
// runs FormShow when it is first shown, before it is first drawn. Every close request, the close
// box, Alt+F4 and Escape included, asks FormCloseQuery first. Every handler runs under the error
// guard.
class ModalDialog {
public:
  // The first message number a dialog may post to itself: its own messages from there on, and its
  // timers' WM_TIMER, reach Notified, under the error guard.
  static constexpr UINT kOwnMessage = WM_APP + 2;

  ModalDialog(const ModalDialog&) = delete;
  ModalDialog& operator=(const ModalDialog&) = delete;
  virtual ~ModalDialog() = default;

  // Shows the dialog and returns, with the result it was closed with, once it has closed.
  INT_PTR ShowModal(HWND owner);
  // The dialog's window while it is open, otherwise null.
  HWND Handle() const { return handle_; }
  void SetCaption(const std::wstring& caption);

protected:
  explicit ModalDialog(const WindowDesign& design);

  virtual void FormShow() {}
  virtual bool FormCloseQuery() { return true; }
  // After the dialog was laid out again for a screen of another density.
  virtual void FormAfterMonitorDpiChanged() {}
  virtual void Notified(UINT /*message*/) {}
  // A click on a button or a link of the dialog, by its design name.
  virtual void Click(std::string_view control) = 0;

  // The dialog's control of that design name, while the dialog is open.
  HWND Item(std::string_view control) const;
  // Ends the modal loop with the result, if FormCloseQuery allows it now.
  void Close(INT_PTR result);

private:
  static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void Created();
  void Showing();
  void Clicked(int id);
  void DpiChanged(int dpi, const RECT& suggested);
  bool SetPointer(HWND control);

  const WindowDesign& design_;
  std::wstring caption_;
  HWND handle_ = nullptr;
  bool shown_ = false;
};

}  // namespace tailmend

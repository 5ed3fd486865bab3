#include "ui/win32/modal_dialog.h"

#include <stdexcept>

#include "ui/win32/controls.h"
#include "ui/win32/design_drawing.h"
#include "ui/win32/desktop_services.h"
#include "ui/win32/error_guard.h"

namespace tailmend {

namespace {

// Posted from the first show, so it arrives once the modal loop runs with the dialog on screen.
constexpr UINT kShownMessage = WM_APP + 1;
// The numbers above WM_APP's range are the system's registered messages.
constexpr UINT kLastOwnMessage = 0xBFFF;
// Caption and close box, a fixed dialog border: no resizing, no minimise or maximise box.
constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;

// An empty template: the dialog is laid out in pixels when it is created, not in dialog units.
#pragma pack(push, 2)
struct EmptyDialogTemplate {
  DLGTEMPLATE header;
  WORD menu;
  WORD windowClass;
  WORD title;
};
#pragma pack(pop)

}  // namespace

ModalDialog::ModalDialog(const WindowDesign& design) : design_(design), caption_(WideForDisplay(design.caption)) {}

INT_PTR ModalDialog::ShowModal(HWND owner) {
  alignas(DWORD) EmptyDialogTemplate layout{};
  layout.header.style = kDialogStyle;
  shown_ = false;
  const INT_PTR result = ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), &layout.header, owner, Procedure,
                                                   reinterpret_cast<LPARAM>(this));
  if (result == -1) throw std::runtime_error("The dialog window could not be created");
  return result;
}

void ModalDialog::SetCaption(const std::wstring& caption) {
  caption_ = caption;
  if (handle_ != nullptr) ::SetWindowTextW(handle_, caption_.c_str());
}

HWND ModalDialog::Item(std::string_view control) const { return DesignControl(handle_, design_, control); }

void ModalDialog::Close(INT_PTR result) {
  if (FormCloseQuery()) ::EndDialog(handle_, result);
}

INT_PTR CALLBACK ModalDialog::Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    reinterpret_cast<ModalDialog*>(lParam)->handle_ = dialog;
  }
  auto* self = reinterpret_cast<ModalDialog*>(::GetWindowLongPtrW(dialog, DWLP_USER));
  if (self == nullptr) return FALSE;
  if (message == WM_NCDESTROY) {
    self->handle_ = nullptr;
    return FALSE;
  }
  return self->Handle(message, wParam, lParam);
}

INT_PTR ModalDialog::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      Created();
      return FALSE;  // focus is already on the first control
    case WM_SHOWWINDOW:
      if (wParam != 0 && lParam == 0 && !shown_) Showing();
      return FALSE;
    case kShownMessage:
      RunGuarded(handle_, [this] { CurrentServices().dialogShown(handle_); });
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL) {
        RunGuarded(handle_, [this] { Close(IDCANCEL); });
      } else if (HIWORD(wParam) == BN_CLICKED && lParam != 0) {
        Clicked(LOWORD(wParam));
      }
      return TRUE;
    case WM_CLOSE:
      RunGuarded(handle_, [this] { Close(IDCANCEL); });
      return TRUE;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return reinterpret_cast<INT_PTR>(
          DesignColours(design_, reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam)));
    case WM_DPICHANGED:
      RunGuarded(handle_, [this, wParam, lParam] {
        DpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      });
      return TRUE;
    case WM_SETCURSOR:
      if (!SetPointer(reinterpret_cast<HWND>(wParam))) return FALSE;
      ::SetWindowLongPtrW(handle_, DWLP_MSGRESULT, TRUE);
      return TRUE;
    case WM_TIMER:
      RunGuarded(handle_, [this, message] { Notified(message); });
      return TRUE;
    default:
      if (message < kOwnMessage || message > kLastOwnMessage) return FALSE;
      RunGuarded(handle_, [this, message] { Notified(message); });
      return TRUE;
  }
}

void ModalDialog::Created() {
  ::SetWindowTextW(handle_, caption_.c_str());
  KeepSystemFromRescaling(handle_);
  const int dpi = WindowDpi(handle_);
  RunGuarded(handle_, [this, dpi] { DrawControls(handle_, design_, dpi); });
  PlaceCentred(handle_, ClientSizeAt(design_, dpi), dpi);
  ::SetFocus(::GetNextDlgTabItem(handle_, nullptr, FALSE));
}

// Moved to a screen of another density, or that screen's scaling changed: the dialog is laid out
// again for it, where the system suggests.
void ModalDialog::DpiChanged(int dpi, const RECT& suggested) {
  LayOutControls(handle_, design_, dpi);
  PlaceAt(handle_, {suggested.left, suggested.top}, ClientSizeAt(design_, dpi), dpi);
  FormAfterMonitorDpiChanged();
}

// The show notification comes while the window is still hidden: whatever FormShow does, the
// dialog is first drawn afterwards, and it is shown even when FormShow failed.
void ModalDialog::Showing() {
  shown_ = true;
  RunGuarded(handle_, [this] { FormShow(); });
  ::PostMessageW(handle_, kShownMessage, 0, 0);
}

void ModalDialog::Clicked(int id) {
  const ControlDesign* control = DesignOf(design_, id);
  if (control != nullptr) RunGuarded(handle_, [this, control] { Click(control->name); });
}

// A link shows the hand pointer.
bool ModalDialog::SetPointer(HWND control) {
  const ControlDesign* pointedAt = DesignOf(design_, ::GetDlgCtrlID(control));
  if (pointedAt == nullptr || pointedAt->kind != ControlKind::Link) return false;
  ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
  return true;
}

}  // namespace tailmend

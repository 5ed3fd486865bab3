#include "ui/win32/group_box.h"

#include "ui/win32/controls.h"

namespace tailmend {

namespace {

const wchar_t* const kClassName = L"TailmendGroupBox";
constexpr int kFrameId = -1;

HWND Frame(HWND box) { return ::GetDlgItem(box, kFrameId); }

// What the controls in the box tell their parent goes on to the window. A control's menu request
// is passed on as it came, naming the control: the system's own passing on would name the box.
bool IsForwarded(UINT message) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CONTEXTMENU:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
      return true;
    default:
      return false;
  }
}

LRESULT CALLBACK GroupBoxProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
  if (IsForwarded(message)) return ::SendMessageW(::GetParent(box), message, wParam, lParam);
  if (message == WM_CREATE) {
    RECT client{};
    ::GetClientRect(box, &client);
    MakeControl(box, L"BUTTON", kFrameId, WindowText(box), BS_GROUPBOX, client);
    return 0;
  }
  // The frame covers the box at every size the box is given.
  if (message == WM_SIZE) {
    ::SetWindowPos(Frame(box), nullptr, 0, 0, LOWORD(lParam), HIWORD(lParam), SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
  }
  // The caption is the frame's: so is its font.
  if (message == WM_SETFONT) return ::SendMessageW(Frame(box), message, wParam, lParam);
  if (message == WM_GETFONT) return ::SendMessageW(Frame(box), message, wParam, lParam);
  // Controls are added after the frame; it stays behind all of them.
  if (message == WM_PARENTNOTIFY && LOWORD(wParam) == WM_CREATE) {
    ::SetWindowPos(Frame(box), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  return ::DefWindowProcW(box, message, wParam, lParam);
}

void RegisterOnce() {
  static const ATOM registered = [] {
    WNDCLASSEXW type{};
    type.cbSize = sizeof type;
    type.lpfnWndProc = GroupBoxProcedure;
    type.hInstance = ::GetModuleHandleW(nullptr);
    type.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    type.hbrBackground = WhiteBrush();
    type.lpszClassName = kClassName;
    return ::RegisterClassExW(&type);
  }();
  static_cast<void>(registered);
}

}  // namespace

HWND MakeGroupBox(HWND parent, int id, const std::wstring& caption, const RECT& place) {
  RegisterOnce();
  // Not clipping its children: the white goes under the frame, which is one of them and covers it.
  return MakeControl(parent, kClassName, id, caption, 0, place, WS_EX_CONTROLPARENT);
}

}  // namespace tailmend

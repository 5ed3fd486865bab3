#pragma once

#include <windows.h>

#include <string>

namespace tailmend {

// A tooltip over one control: its text, which may run over several lines, shows while the mouse
// rests on the control. The tooltip's window belongs to the control's top-level window and goes
// with it.
class Tooltip {
public:
  explicit Tooltip(HWND control);

  void SetText(const std::wstring& text);

private:
  HWND control_;
  HWND tooltip_;
};

}  // namespace tailmend

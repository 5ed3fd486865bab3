#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace tailmend {

// Shows the standard error box over owner and waits until it is closed: the text, the program's
// title as caption, an error icon and one OK button. The text already follows the error-box rule.
void ShowErrorBox(HWND owner, const std::wstring& text);

// What shows the box; tests record the texts instead of waiting for a person.
using ErrorBoxHook = std::function<void(const std::wstring& caption, const std::wstring& text)>;
// Replaces the box and returns the previous hook; an empty hook brings the real box back.
ErrorBoxHook SetErrorBoxHook(ErrorBoxHook hook);

// A window procedure must not let an exception out: every handler of every window runs through
// this one guard, which shows the error in the standard error box over owner and carries on.
void RunGuarded(HWND owner, const std::function<void()>& handler) noexcept;

}  // namespace tailmend

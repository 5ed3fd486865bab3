#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace tailmend {

// A window procedure must not let an exception out: every handler of every window runs through
// this one guard, which shows the error in the standard error box over owner and carries on.
void RunGuarded(HWND owner, const std::function<void()>& handler) noexcept;

// Shows a message in the standard error box over owner, made by the error-box rule, and waits
// until it is closed.
void ShowErrorBox(HWND owner, const std::string& message) noexcept;

}  // namespace tailmend

#pragma once

#include <windows.h>

#include <functional>

namespace tailmend {

// A window procedure must not let an exception out: every handler of every window runs through
// this one guard, which shows the error in the standard error box over owner and carries on.
void RunGuarded(HWND owner, const std::function<void()>& handler) noexcept;

}  // namespace tailmend

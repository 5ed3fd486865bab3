#pragma once

#include <functional>
#include <string>

namespace tailmend {

// The message as the error box shows it: a full stop is added unless the message already ends in
// one or in a character ordered before it (a blank, a quote, a comma, a bracket...). UTF-8: the
// last byte of any character beyond ASCII is above the full stop, as the character itself is.
std::string ErrorBoxText(std::string message);

// What the box says of an error that brought no text of its own.
inline constexpr const char* kUnknownErrorText = "Unknown error";

// Shows the standard error box with a text made by ErrorBoxText and waits until it is closed.
using ErrorBoxShower = std::function<void(const std::string& text)>;

// Runs one handler of a window. No error may cross a window system's event loop: whatever leaves
// the handler is shown in the standard error box, and the program goes on.
void RunGuarded(const std::function<void()>& handler, const ErrorBoxShower& show) noexcept;

}  // namespace tailmend

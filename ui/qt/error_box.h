#pragma once

#include <QString>
#include <functional>

namespace tailmend {

// Shows the standard error box and waits until it is closed: the text, the application's title as
// caption, an error icon and one OK button. The text already follows the error-box rule.
void ShowErrorBox(const QString& text);

// What shows the box; tests record the texts instead of waiting for a person.
using ErrorBoxHook = std::function<void(const QString& caption, const QString& text)>;
// Replaces the box and returns the previous hook; an empty hook brings the real box back.
ErrorBoxHook SetErrorBoxHook(ErrorBoxHook hook);

}  // namespace tailmend

#pragma once

#include <QString>
#include <functional>

namespace tailmend {

// The message as the error box shows it: a full stop is added unless the message already ends in
// one or in a character ordered before it (a blank, a quote, a comma, a bracket...).
QString ErrorBoxText(const QString& message);

// Shows the standard error box and waits until it is closed: the message, the application's name
// as caption, an error icon and one OK button.
void ShowErrorBox(const QString& message);

// What shows the box; tests record the texts instead of waiting for a person.
using ErrorBoxHook = std::function<void(const QString& caption, const QString& text)>;
// Replaces the box and returns the previous hook; an empty hook brings the real box back.
ErrorBoxHook SetErrorBoxHook(ErrorBoxHook hook);

}  // namespace tailmend

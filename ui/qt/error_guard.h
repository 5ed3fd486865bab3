#pragma once

#include <QObject>
#include <functional>
#include <string>

namespace tailmend {

// Qt cannot carry an exception through its event loop, so every handler of every window runs
// through this one guard: an error is shown in the standard error box and the program goes on.
void RunGuarded(const std::function<void()>& handler) noexcept;

// Shows a message in the standard error box, made by the error-box rule, and waits until it is closed.
void ShowErrorBox(const std::string& message);

// Connects a signal to a handler that runs inside the guard.
template <typename Sender, typename Signal, typename Handler>
void ConnectGuarded(Sender* sender, Signal signal, QObject* context, Handler handler) {
  QObject::connect(sender, signal, context, [handler] { RunGuarded(handler); });
}

}  // namespace tailmend

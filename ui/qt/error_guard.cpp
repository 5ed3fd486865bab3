#include "ui/qt/error_guard.h"

#include <QCoreApplication>

#include "ui/behaviour/error_box.h"
#include "ui/qt/desktop_services.h"

namespace tailmend {

// The application's title is the caption of every error box.
void RunGuarded(const std::function<void()>& handler) noexcept {
  RunGuarded(handler, [](const std::string& text) {
    CurrentServices().showErrorBox(QCoreApplication::applicationName(), QString::fromStdString(text));
  });
}

}  // namespace tailmend

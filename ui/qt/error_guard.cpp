#include "ui/qt/error_guard.h"

#include <exception>

#include "ui/qt/error_box.h"

namespace tailmend {

void RunGuarded(const std::function<void()>& handler) noexcept {
  try {
    handler();
  } catch (const std::exception& error) {
    ShowErrorBox(QString::fromStdString(error.what()));
  } catch (...) {
    ShowErrorBox(QStringLiteral("Unknown error"));
  }
}

}  // namespace tailmend

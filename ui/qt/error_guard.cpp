#include "ui/qt/error_guard.h"

#include "ui/behaviour/error_box.h"
#include "ui/qt/error_box.h"

namespace tailmend {

void RunGuarded(const std::function<void()>& handler) noexcept {
  RunGuarded(handler, [](const std::string& text) { ShowErrorBox(QString::fromStdString(text)); });
}

}  // namespace tailmend

#include "ui/qt/error_box.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <utility>

namespace tailmend {

namespace {

constexpr char16_t kFullStop = u'.';

ErrorBoxHook& CurrentHook() {
  static ErrorBoxHook hook;
  return hook;
}

void ShowMessageBox(const QString& caption, const QString& text) {
  QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok);
  box.exec();
}

}  // namespace

QString ErrorBoxText(const QString& message) {
  if (message.isEmpty() || message.back().unicode() <= kFullStop) return message;
  return message + QChar(kFullStop);
}

void ShowErrorBox(const QString& message) {
  const QString caption = QCoreApplication::applicationName();
  const QString text = ErrorBoxText(message);
  if (CurrentHook()) {
    CurrentHook()(caption, text);
  } else {
    ShowMessageBox(caption, text);
  }
}

ErrorBoxHook SetErrorBoxHook(ErrorBoxHook hook) { return std::exchange(CurrentHook(), std::move(hook)); }

}  // namespace tailmend

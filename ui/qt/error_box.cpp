#include "ui/qt/error_box.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <utility>

namespace tailmend {

namespace {

ErrorBoxHook& CurrentHook() {
  static ErrorBoxHook hook;
  return hook;
}

void ShowMessageBox(const QString& caption, const QString& text) {
  QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok);
  box.exec();
}

}  // namespace

void ShowErrorBox(const QString& text) {
  const QString caption = QCoreApplication::applicationName();
  if (CurrentHook()) {
    CurrentHook()(caption, text);
  } else {
    ShowMessageBox(caption, text);
  }
}

ErrorBoxHook SetErrorBoxHook(ErrorBoxHook hook) { return std::exchange(CurrentHook(), std::move(hook)); }

}  // namespace tailmend

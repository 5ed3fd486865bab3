#include "ui/qt/desktop_services.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>
#include <utility>

#include "ui/qt/file_open_dialog.h"

namespace tailmend {

namespace {

DesktopServices& Current() {
  static DesktopServices services = SystemServices();
  return services;
}

void ShowMessageBox(const QString& caption, const QString& text) {
  QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok);
  box.exec();
}

void OpenInBrowser(const QString& address) { QDesktopServices::openUrl(QUrl(address)); }

}  // namespace

DesktopServices SystemServices() { return {ShowMessageBox, OpenInBrowser, RunCrwOpenDialog}; }

const DesktopServices& CurrentServices() { return Current(); }

ScopedServices::ScopedServices(DesktopServices replacement) : ScopedReplacement(Current(), std::move(replacement)) {}

}  // namespace tailmend

#include "ui/qt/desktop_services.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
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

// The desktop opens a folder in its file manager, as it opens any other address.
void OpenFolderOf(const QString& file) {
  QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(file).absolutePath()));
}

void CopyToClipboard(const QString& text) { QGuiApplication::clipboard()->setText(text); }

}  // namespace

DesktopServices SystemServices() {
  return {ShowMessageBox, OpenInBrowser, RunCrwOpenDialog, OpenFolderOf, RunReportSaveDialog, CopyToClipboard};
}

const DesktopServices& CurrentServices() { return Current(); }

ScopedServices::ScopedServices(DesktopServices replacement) : ScopedReplacement(Current(), std::move(replacement)) {}

}  // namespace tailmend

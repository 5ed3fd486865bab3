#include "ui/qt/web_opener.h"

#include <QDesktopServices>
#include <QUrl>
#include <utility>

namespace tailmend {

namespace {

WebOpener& CurrentOpener() {
  static WebOpener opener;
  return opener;
}

}  // namespace

void OpenWebPage(const QString& address) {
  if (CurrentOpener()) {
    CurrentOpener()(address);
  } else {
    QDesktopServices::openUrl(QUrl(address));
  }
}

WebOpener SetWebOpener(WebOpener opener) { return std::exchange(CurrentOpener(), std::move(opener)); }

}  // namespace tailmend

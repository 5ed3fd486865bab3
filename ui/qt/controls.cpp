#include "ui/qt/controls.h"

#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QPalette>
#include <QScreen>
#include <QWidget>

namespace tailmend {

namespace {

const char* const kFamily = "Tahoma";
// Debian's fonts-wine installs Wine's Tahoma-metric face here without registering it. Its bold
// face is drawn hardly heavier than the regular one, so it is left out and Qt emboldens instead.
const char* const kFallbackFile = "/usr/share/wine/fonts/tahoma.ttf";

void EnsureTahoma() {
  static const bool done = [] {
    if (!QFontDatabase::hasFamily(QString::fromLatin1(kFamily))) {
      QFontDatabase::addApplicationFont(QString::fromLatin1(kFallbackFile));
    }
    return true;
  }();
  static_cast<void>(done);
}

}  // namespace

QFont TahomaFont(int pixels, bool bold) {
  EnsureTahoma();
  QFont font(QString::fromLatin1(kFamily));
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

void SetUpWindow(QWidget& window, const QString& caption, QSize client, Qt::WindowFlags flags) {
  window.setWindowFlags(flags);
  window.setWindowTitle(caption);
  window.setFixedSize(client);
  window.setFont(TahomaFont(kWindowFontPixels));
}

void SetWhiteBackground(QWidget& window) {
  QPalette palette = window.palette();
  palette.setColor(QPalette::Window, Qt::white);
  window.setPalette(palette);
  window.setAutoFillBackground(true);
}

void CentreOnScreen(QWidget& window) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  QRect place(QPoint(), window.size());
  place.moveCenter(screen->availableGeometry().center());
  window.move(place.topLeft());
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, QPoint at) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  label->move(at);
  label->adjustSize();
  return label;
}

}  // namespace tailmend

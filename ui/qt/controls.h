#pragma once

#include <QRect>
#include <QString>

class QFont;
class QLabel;
class QWidget;

namespace tailmend {

// The face and size every window uses: Tahoma, 11 pixels high.
inline constexpr int kWindowFontPixels = 11;

// The border of every dialog: caption and close box, not resizable, no minimise or maximise box.
inline constexpr Qt::WindowFlags kDialogFlags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                                Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;

// Tahoma at a pixel height. Where the system lacks it, the Tahoma-metric face from Wine's font
// package is loaded so that texts keep the width the layout was made for.
QFont TahomaFont(int pixels, bool bold = false);

// Gives a window the fixed client size of its design, with the given Qt window flags.
void SetUpWindow(QWidget& window, const QString& caption, QSize client, Qt::WindowFlags flags);
void SetWhiteBackground(QWidget& window);
void CentreOnScreen(QWidget& window);

// Child controls keep the names of the window's design as objectName, so tests can find them.
template <typename Control>
Control* MakeControl(QWidget* parent, const char* name, const QRect& place) {
  auto* control = new Control(parent);
  control->setObjectName(QString::fromLatin1(name));
  control->setGeometry(place);
  return control;
}

// A label that takes the size of its text.
QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, QPoint at);

}  // namespace tailmend

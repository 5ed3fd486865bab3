#pragma once

#include <QString>
#include <QWidget>
#include <stdexcept>
#include <string>
#include <string_view>

#include "ui/behaviour/window_design.h"

class QFont;
class QMenu;

namespace tailmend {

// The border of every dialog: caption and close box, not resizable, no minimise or maximise box.
inline constexpr Qt::WindowFlags kDialogFlags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                                Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;

// The design's face at its size and style. Where the system lacks Tahoma, the Tahoma-metric face
// from Wine's font package is loaded so that texts keep the width the layout was made for.
QFont DesignedFont(const DesignFont& design);

// Draws a window's design with Qt's widgets: the window gets its caption, its fixed client size,
// its font and background and the given window flags, and lies in the middle of the screen; each
// control is made at its place in its parent, with its design name as objectName, stacked and
// chained for Tab in the design's order.
void DrawWindow(QWidget& window, const WindowDesign& design, Qt::WindowFlags flags);

// The window's control of that design name; raises when it has none of that kind.
template <typename Control>
Control& DesignControl(const QWidget& window, std::string_view name) {
  auto* control = window.findChild<Control*>(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
  if (control == nullptr) throw std::logic_error("no control " + std::string(name));
  return *control;
}

// Makes a menu's design as a menu of the window's, with its design name as objectName, each item an
// action whose objectName is the item's design name.
QMenu& DrawMenu(QWidget& window, const MenuDesign& design);

// Sets the text a label or a button shows.
void SetControlText(QWidget& control, const QString& text);

}  // namespace tailmend

#include "ui/qt/design_drawing.h"

#include <QCheckBox>
#include <QFont>
#include <QFontDatabase>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <QTextEdit>
#include <QTreeWidget>
#include <vector>

#include "ui/qt/click_label.h"

namespace tailmend {

namespace {

// Debian's fonts-wine installs Wine's Tahoma-metric face here without registering it. Its bold
// face is drawn hardly heavier than the regular one, so it is left out and Qt emboldens instead.
const char* const kFallbackFile = "/usr/share/wine/fonts/tahoma.ttf";

void EnsureTahoma() {
  static const bool done = [] {
    if (!QFontDatabase::hasFamily(QString::fromLatin1(kDesignFontFamily))) {
      QFontDatabase::addApplicationFont(QString::fromLatin1(kFallbackFile));
    }
    return true;
  }();
  static_cast<void>(done);
}

QString Text(const ControlDesign& control) { return QString::fromStdString(control.text); }

void SetTextColour(QWidget& control, TextColour colour) {
  if (colour != TextColour::Blue) return;
  QPalette palette = control.palette();
  palette.setColor(QPalette::WindowText, Qt::blue);
  control.setPalette(palette);
}

// Group boxes are opaque, as windowed controls are, so the picture behind them is hidden there.
QWidget* MakeGroupBox(const ControlDesign& control, QWidget* parent) {
  auto* box = new QGroupBox(Text(control), parent);
  box->setAutoFillBackground(true);
  return box;
}

// A label given lines of its own wraps its text over them.
QWidget* MakeLabel(const ControlDesign& control, QWidget* parent) {
  auto* label = new QLabel(Text(control), parent);
  if (control.place.height != 0) {
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  }
  return label;
}

QWidget* MakePreview(const ControlDesign& control, QWidget* parent) {
  auto* box = new QLabel(Text(control), parent);
  box->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  box->setAlignment(Qt::AlignCenter);
  return box;
}

QWidget* MakeLink(const ControlDesign& control, QWidget* parent) {
  auto* link = new ClickLabel(Text(control), parent);
  link->setCursor(Qt::PointingHandCursor);
  return link;
}

QWidget* MakeReadOnlyEdit(const ControlDesign& control, QWidget* parent) {
  auto* edit = new QLineEdit(Text(control), parent);
  edit->setReadOnly(true);
  return edit;
}

// Enter presses a dialog's default button, and no other.
QWidget* MakeButton(const ControlDesign& control, QWidget* parent) {
  auto* button = new QPushButton(Text(control), parent);
  if (control.kind == ControlKind::Button) button->setAutoDefault(false);
  return button;
}

QWidget* MakeReportList(const ControlDesign& control, QWidget* parent) {
  auto* list = new QTreeWidget(parent);
  list->setRootIsDecorated(false);
  QStringList titles;
  for (const ListColumn& column : control.columns) titles.push_back(QString::fromStdString(column.title));
  list->setHeaderLabels(titles);
  for (int index = 0; index < static_cast<int>(control.columns.size()); ++index) {
    list->setColumnWidth(index, control.columns[static_cast<std::size_t>(index)].width);
  }
  list->header()->setStretchLastSection(false);
  return list;
}

QWidget* MakeLine(QWidget* parent) {
  auto* line = new QFrame(parent);
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);
  return line;
}

QWidget* MakeRichText(QWidget* parent) {
  auto* text = new QTextEdit(parent);
  text->setReadOnly(true);
  text->setTabChangesFocus(true);
  return text;
}

QWidget* MakeWidget(const ControlDesign& control, QWidget* parent) {
  switch (control.kind) {
    case ControlKind::Picture: return new QLabel(parent);
    case ControlKind::GroupBox: return MakeGroupBox(control, parent);
    case ControlKind::Label: return MakeLabel(control, parent);
    case ControlKind::Link: return MakeLink(control, parent);
    case ControlKind::ReadOnlyEdit: return MakeReadOnlyEdit(control, parent);
    case ControlKind::Button:
    case ControlKind::DefaultButton: return MakeButton(control, parent);
    case ControlKind::CheckBox: return new QCheckBox(Text(control), parent);
    case ControlKind::ReportList: return MakeReportList(control, parent);
    case ControlKind::Line: return MakeLine(parent);
    case ControlKind::RichText: return MakeRichText(parent);
    case ControlKind::Preview: return MakePreview(control, parent);
  }
  throw std::logic_error("a control of no known kind: " + control.name);
}

// A label without a width takes the size of its text; without a height, one line of its font.
void Place(QWidget& widget, const DesignRect& place) {
  if (place.width == 0) {
    widget.move(place.left, place.top);
    widget.adjustSize();
    return;
  }
  const int height = place.height != 0 ? place.height : widget.fontMetrics().height();
  widget.setGeometry(place.left, place.top, place.width, height);
}

void CentreOnScreen(QWidget& window) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  QRect place(QPoint(), window.size());
  place.moveCenter(screen->availableGeometry().center());
  window.move(place.topLeft());
}

void SetUpWindow(QWidget& window, const WindowDesign& design, Qt::WindowFlags flags) {
  window.setObjectName(QString::fromStdString(design.name));
  window.setWindowFlags(flags);
  window.setWindowTitle(QString::fromStdString(design.caption));
  window.setFixedSize(design.client.width, design.client.height);
  window.setFont(DesignedFont(design.font));
  if (design.whiteBackground) {
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, Qt::white);
    window.setPalette(palette);
    window.setAutoFillBackground(true);
  }
}

QWidget* ParentOf(QWidget& window, const ControlDesign& control) {
  return control.parent.empty() ? &window : &DesignControl<QWidget>(window, control.parent);
}

// Each new control goes behind those made before it, as on Windows.
QWidget* DrawControl(QWidget& window, const ControlDesign& control) {
  QWidget* widget = MakeWidget(control, ParentOf(window, control));
  widget->setObjectName(QString::fromStdString(control.name));
  if (control.font) widget->setFont(DesignedFont(*control.font));
  SetTextColour(*widget, control.colour);
  Place(*widget, control.place);
  widget->lower();
  return widget;
}

void ChainForTab(const std::vector<QWidget*>& chain) {
  for (std::size_t k = 1; k < chain.size(); ++k) QWidget::setTabOrder(chain[k - 1], chain[k]);
}

}  // namespace

QFont DesignedFont(const DesignFont& design) {
  EnsureTahoma();
  QFont font(QString::fromLatin1(kDesignFontFamily));
  font.setPixelSize(design.pixels);
  font.setBold(design.bold);
  font.setUnderline(design.underline);
  return font;
}

void DrawWindow(QWidget& window, const WindowDesign& design, Qt::WindowFlags flags) {
  SetUpWindow(window, design, flags);
  std::vector<QWidget*> tabChain;
  for (const ControlDesign& control : design.controls) {
    QWidget* widget = DrawControl(window, control);
    if (TakesFocus(control.kind)) tabChain.push_back(widget);
  }
  ChainForTab(tabChain);
  CentreOnScreen(window);
}

QMenu& DrawMenu(QWidget& window, const MenuDesign& design) {
  auto* menu = new QMenu(&window);
  menu->setObjectName(QString::fromStdString(design.name));
  for (const MenuItemDesign& item : design.items) {
    menu->addAction(QString::fromStdString(item.text))->setObjectName(QString::fromStdString(item.name));
  }
  return *menu;
}

void SetControlText(QWidget& control, const QString& text) {
  if (auto* label = qobject_cast<QLabel*>(&control)) label->setText(text);
  if (auto* button = qobject_cast<QAbstractButton*>(&control)) button->setText(text);
}

}  // namespace tailmend

// Each window as Qt draws it, beside its design: every control there, at its place, with its text,
// font and colour, in its parent, stacked and chained for Tab in the design's order, no text cut.
// The tests run once more on a screen Qt scales (QT_SCALE_FACTOR), where the places stay the
// design's and Qt draws them larger.
#include <QAbstractButton>
#include <QCheckBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTextEdit>
#include <QTreeWidget>
#include <map>

#include "tests/ui/qt/ui_harness.h"
#include "ui/behaviour/window_designs.h"
#include "ui/qt/about.h"
#include "ui/qt/details.h"
#include "ui/qt/doc.h"
#include "ui/qt/main.h"
#include "ui/qt/process.h"

namespace tailmend::test {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

// How much larger than the design the screen is to show the windows: QT_SCALE_FACTOR, or none.
qreal ScreenScale() {
  bool given = false;
  const qreal scale = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&given);
  return given ? scale : 1.0;
}

// Whether a person can change what the control holds, where it holds text.
bool Editable(const QWidget& control) {
  if (const auto* edit = qobject_cast<const QLineEdit*>(&control)) return !edit->isReadOnly();
  if (const auto* text = qobject_cast<const QTextEdit*>(&control)) return !text->isReadOnly();
  return false;
}

// Whether Enter presses the button when the focus is on it.
bool AnswersEnter(const QWidget& control) {
  const auto* button = qobject_cast<const QPushButton*>(&control);
  return button != nullptr && button->autoDefault();
}

// The text a control shows, where it shows one.
QString ShownText(const QWidget& control) {
  if (const auto* label = qobject_cast<const QLabel*>(&control)) return label->text();
  if (const auto* button = qobject_cast<const QAbstractButton*>(&control)) return button->text();
  if (const auto* box = qobject_cast<const QGroupBox*>(&control)) return box->title();
  if (const auto* edit = qobject_cast<const QLineEdit*>(&control)) return edit->text();
  if (const auto* text = qobject_cast<const QTextEdit*>(&control)) return text->toPlainText();
  return {};
}

void ExpectFont(const QFont& font, const DesignFont& design) {
  const QFontInfo shown(font);
  EXPECT_EQ(shown.family(), kDesignFontFamily);
  EXPECT_EQ(shown.pixelSize(), design.pixels);
  EXPECT_EQ(shown.bold(), design.bold);
  EXPECT_EQ(font.underline(), design.underline);
}

// A size of 0 is the text's width or one line's height.
void ExpectPlace(const QWidget& control, const DesignRect& place) {
  EXPECT_EQ(control.pos(), QPoint(place.left, place.top));
  EXPECT_EQ(control.width(), place.width != 0 ? place.width : control.sizeHint().width());
  EXPECT_EQ(control.height(), place.height != 0 ? place.height : control.fontMetrics().height());
}

// What a control draws besides its text, across: a button's edges, a check box's box and the gap
// after it, the inset of a group box's title.
int RoomBesideText(const QWidget& control) {
  if (qobject_cast<const QCheckBox*>(&control) != nullptr) {
    return control.style()->pixelMetric(QStyle::PM_IndicatorWidth) +
           control.style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing);
  }
  if (qobject_cast<const QPushButton*>(&control) != nullptr) return 6;
  if (qobject_cast<const QGroupBox*>(&control) != nullptr) return 16;
  return -1;
}

// Labels without a width are as wide as their text already; the status labels cut a long status
// on purpose.
void ExpectTextFits(const QWidget& control) {
  const int room = RoomBesideText(control);
  if (room < 0) return;
  EXPECT_LE(control.fontMetrics().horizontalAdvance(ShownText(control)) + room, control.width()) << "text cut";
  EXPECT_LE(control.fontMetrics().height(), control.height()) << "text cut";
}

void ExpectColumns(const QWidget& control, const std::vector<ListColumn>& columns) {
  const auto* list = qobject_cast<const QTreeWidget*>(&control);
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->columnCount(), static_cast<int>(columns.size()));
  for (int k = 0; k < list->columnCount(); ++k) {
    EXPECT_EQ(list->headerItem()->text(k), Q(columns[static_cast<std::size_t>(k)].title));
    EXPECT_EQ(list->columnWidth(k), columns[static_cast<std::size_t>(k)].width);
    EXPECT_LT(list->header()->fontMetrics().horizontalAdvance(list->headerItem()->text(k)), list->columnWidth(k))
        << "title cut";
  }
}

void ExpectControl(const QWidget& window, const WindowDesign& design, const ControlDesign& control) {
  SCOPED_TRACE(control.name);
  const auto& drawn = Find<QWidget>(window, control.name.c_str());
  const QWidget* parent = control.parent.empty() ? &window : &Find<QWidget>(window, control.parent.c_str());
  EXPECT_EQ(drawn.parentWidget(), parent);
  ExpectPlace(drawn, control.place);
  EXPECT_EQ(ShownText(drawn), Q(control.text));
  ExpectFont(drawn.font(), FontOf(design, control));
  ExpectTextFits(drawn);
  const bool blue = drawn.palette().color(QPalette::WindowText) == QColor(Qt::blue);
  EXPECT_EQ(blue, control.colour == TextColour::Blue);
  EXPECT_EQ(drawn.cursor().shape() == Qt::PointingHandCursor, control.kind == ControlKind::Link);
  EXPECT_FALSE(Editable(drawn)) << "every text a window shows is read-only";
  EXPECT_EQ(AnswersEnter(drawn), control.kind == ControlKind::DefaultButton);
  if (control.kind == ControlKind::ReportList) ExpectColumns(drawn, control.columns);
}

// Qt keeps a parent's children from the back to the front.
void ExpectStacking(const QWidget& window, const WindowDesign& design) {
  std::map<const QObject*, std::vector<std::string>> frontToBack, drawn;
  for (const ControlDesign& control : design.controls) {
    frontToBack[Find<QWidget>(window, control.name.c_str()).parent()].push_back(control.name);
  }
  for (const auto& [parent, names] : frontToBack) {
    for (const QObject* child : parent->children()) {
      const std::string name = child->objectName().toStdString();
      if (std::find(names.begin(), names.end(), name) != names.end()) drawn[parent].insert(drawn[parent].begin(), name);
    }
  }
  EXPECT_EQ(drawn, frontToBack);
}

// Tab goes through every control that Qt lets take the focus by Tab, in the design's order.
void ExpectTabOrder(const QWidget& window, const WindowDesign& design) {
  QStringList expected;
  for (const ControlDesign& control : design.controls) {
    const auto& drawn = Find<QWidget>(window, control.name.c_str());
    if (drawn.focusPolicy() & Qt::TabFocus) expected.push_back(Q(control.name));
  }
  QStringList order;
  QWidget* widget = &Find<QWidget>(window, expected.front().toStdString().c_str());
  for (int step = 0; step < 100 && order.size() < expected.size(); ++step) {
    if (expected.contains(widget->objectName())) order.push_back(widget->objectName());
    widget = widget->nextInFocusChain();
  }
  EXPECT_EQ(order, expected);
}

void ExpectDrawn(const QWidget& window, const WindowDesign& design) {
  SCOPED_TRACE(design.name);
  EXPECT_EQ(window.objectName(), Q(design.name));
  EXPECT_EQ(window.windowTitle(), Q(design.caption));
  const QSize client(design.client.width, design.client.height);
  EXPECT_EQ(window.size() * window.devicePixelRatioF(), client * ScreenScale()) << "in the screen's pixels";
  EXPECT_EQ(window.size(), client);
  EXPECT_EQ(window.minimumSize(), window.maximumSize()) << "the border is not resizable";
  EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
  const bool minimisable = window.windowFlags() & Qt::WindowMinimizeButtonHint;
  EXPECT_FALSE(minimisable && qobject_cast<const QDialog*>(&window) != nullptr) << "a dialog has no minimise box";
  ExpectFont(window.font(), design.font);
  EXPECT_EQ(window.palette().color(QPalette::Window) == QColor(Qt::white), design.whiteBackground);
  for (const ControlDesign& control : design.controls) ExpectControl(window, design, control);
  ExpectStacking(window, design);
  ExpectTabOrder(window, design);
}

using WindowDesigns = WindowTest;

TEST_F(WindowDesigns, EachWindowIsDrawnAsItsDesignSays) {
  TfrmMain frmMain;
  TfrmProcessing frmProcessing(frmMain);
  TfrmShowDoc frmShowDoc;
  TfrmAbout frmAbout;
  TfrmDetails frmDetails;
  ExpectDrawn(frmMain, MainWindowDesign());
  ExpectDrawn(frmProcessing, ProcessingDialogDesign());
  ExpectDrawn(frmShowDoc, DocumentViewerDesign());
  ExpectDrawn(frmAbout, AboutBoxDesign());
  ExpectDrawn(frmDetails, DetailsWindowDesign());
}

}  // namespace
}  // namespace tailmend::test

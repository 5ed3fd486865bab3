#include "rtf/rtf_qt_formats.h"

#include <QFont>
#include <QList>
#include <QTextOption>

#include "rtf/rtf_colour_table.h"
#include "rtf/rtf_font_table.h"

namespace tailmend {

namespace {

// RTF measures in twips, 1/1440 inch; a Qt document lays out in pixels of 1/96 inch.
qreal Pixels(int twips) { return twips / 15.0; }

QTextCharFormat::VerticalAlignment QtVertical(RtfVerticalAlignment vertical) {
  switch (vertical) {
    case RtfVerticalAlignment::kSuperscript: return QTextCharFormat::AlignSuperScript;
    case RtfVerticalAlignment::kSubscript: return QTextCharFormat::AlignSubScript;
    case RtfVerticalAlignment::kNormal: break;
  }
  return QTextCharFormat::AlignNormal;
}

Qt::Alignment QtAlignment(RtfAlignment alignment) {
  switch (alignment) {
    case RtfAlignment::kCentre: return Qt::AlignHCenter;
    case RtfAlignment::kRight: return Qt::AlignRight;
    case RtfAlignment::kJustify: return Qt::AlignJustify;
    case RtfAlignment::kLeft: break;
  }
  return Qt::AlignLeft;
}

}  // namespace

QTextCharFormat ToQtCharFormat(const RtfCharacterFormat& format, const RtfFontTable& fonts,
                               const RtfColourTable& colours) {
  QTextCharFormat qt;
  qt.setFontWeight(format.bold ? QFont::Bold : QFont::Normal);
  qt.setFontItalic(format.italic);
  qt.setFontUnderline(format.underline);
  qt.setFontStrikeOut(format.strike);
  qt.setVerticalAlignment(QtVertical(format.vertical));
  qt.setFontPointSize(format.halfPoints / 2.0);
  if (const QString family = fonts.Family(format.font); !family.isEmpty()) {
    qt.setFontFamilies({family});
  }
  if (const auto colour = colours.Colour(format.colour)) qt.setForeground(*colour);
  if (const auto colour = colours.Colour(format.highlight)) qt.setBackground(*colour);
  return qt;
}

QTextBlockFormat ToQtBlockFormat(const RtfParagraphFormat& format) {
  QTextBlockFormat qt;
  qt.setAlignment(QtAlignment(format.alignment));
  qt.setLeftMargin(Pixels(format.leftTwips));
  qt.setRightMargin(Pixels(format.rightTwips));
  qt.setTextIndent(Pixels(format.firstLineTwips));
  qt.setTopMargin(Pixels(format.beforeTwips));
  qt.setBottomMargin(Pixels(format.afterTwips));
  QList<QTextOption::Tab> tabs;
  for (std::size_t i = 0; i < format.tabCount; ++i) {
    tabs.append(QTextOption::Tab(Pixels(format.tabTwips[i]), QTextOption::LeftTab));
  }
  qt.setTabPositions(tabs);
  return qt;
}

}  // namespace tailmend

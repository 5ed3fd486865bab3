#include <gtest/gtest.h>

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "rtf/rtf_reader.h"

namespace tailmend {
namespace {

QString TextOf(const QByteArray& rtf) {
  QTextDocument document;
  EXPECT_TRUE(ReadRtf(rtf, document));
  return document.toRawText();
}

// The character format of the last character of the first occurrence of needle.
QTextCharFormat FormatOf(const QTextDocument& document, const QString& needle) {
  const QTextCursor found = document.find(needle);
  EXPECT_FALSE(found.isNull()) << needle.toStdString();
  return found.charFormat();
}

TEST(RtfReader, BytesThatAreNotRtfAreLeftToTheCaller) {
  QTextDocument document;
  document.setPlainText(QStringLiteral("before"));
  EXPECT_FALSE(ReadRtf("plain text {\\b x}", document));
  EXPECT_FALSE(ReadRtf("", document));
  EXPECT_FALSE(ReadRtf(" {\\rtf1 x}", document));
  EXPECT_EQ(document.toPlainText(), QStringLiteral("before"));
}

TEST(RtfReader, ParagraphsLinesAndTabs) {
  QTextDocument document;
  ASSERT_TRUE(ReadRtf("{\\rtf1 one\\par two\\line three\\tab four\\par}", document));
  EXPECT_EQ(document.blockCount(), 3);
  EXPECT_EQ(document.firstBlock().text(), QStringLiteral("one"));
  EXPECT_EQ(document.firstBlock().next().text(), QString::fromUtf16(u"two\u2028three\tfour"));
}

TEST(RtfReader, FormattingLandsOnItsOwnCharactersAndEndsWithTheGroup) {
  QTextDocument document;
  ASSERT_TRUE(ReadRtf("{\\rtf1 plain {\\b bold {\\i both}} {\\ul under\\ulnone  no} \\b on\\b0  off}", document));
  EXPECT_FALSE(FormatOf(document, "plain").font().bold());
  EXPECT_TRUE(FormatOf(document, "bold").font().bold());
  EXPECT_FALSE(FormatOf(document, "bold").font().italic());
  EXPECT_TRUE(FormatOf(document, "both").font().bold());
  EXPECT_TRUE(FormatOf(document, "both").font().italic());
  EXPECT_TRUE(FormatOf(document, "under").font().underline());
  EXPECT_FALSE(FormatOf(document, "no").font().underline());
  EXPECT_TRUE(FormatOf(document, "on").font().bold());
  EXPECT_FALSE(FormatOf(document, "off").font().bold());
}

TEST(RtfReader, SizesColoursAndFontsFromTheTables) {
  QTextDocument document;
  ASSERT_TRUE(ReadRtf("{\\rtf1{\\fonttbl{\\f0 Tahoma;}{\\f1 Courier New;}}"
                      "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue128;}"
                      "\\f0\\fs20 small {\\fs40 large} {\\cf1 red} {\\cf2 navy} {\\f1 code}}",
                      document));
  EXPECT_DOUBLE_EQ(FormatOf(document, "small").font().pointSizeF(), 10.0);
  EXPECT_DOUBLE_EQ(FormatOf(document, "large").font().pointSizeF(), 20.0);
  EXPECT_EQ(FormatOf(document, "red").foreground().color(), QColor(255, 0, 0));
  EXPECT_EQ(FormatOf(document, "navy").foreground().color(), QColor(0, 0, 128));
  EXPECT_TRUE(FormatOf(document, "code").fontFamilies().toStringList().contains(QStringLiteral("Courier New")));
  EXPECT_FALSE(document.toPlainText().contains(QStringLiteral("Tahoma")));
}

TEST(RtfReader, HexBytesInTheDocumentsCodePage) {
  EXPECT_EQ(TextOf("{\\rtf1\\ansi caf\\'e9 \\'93q\\'94}"), QString::fromUtf16(u"caf\u00e9 \u201cq\u201d"));
  EXPECT_EQ(TextOf("{\\rtf1\\ansi\\ansicpg1251 \\'c4\\'e0}"), QString::fromUtf16(u"\u0414\u0430"));
}

TEST(RtfReader, AChineseFontDecodesItsBytesAsGb2312) {
  const QString text = TextOf("{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}{\\f1\\fcharset134 SimSun;}}"
                              "\\f0 \\'e9 {\\f1 \\'d6\\'d0\\'ce\\'c4}}");
  EXPECT_EQ(text, QString::fromUtf16(u"\u00e9 \u4e2d\u6587"));
}

TEST(RtfReader, UnicodeEscapesSkipTheirFallback) {
  EXPECT_EQ(TextOf("{\\rtf1\\uc1 \\u8220\"x\\u8221\"}"), QString::fromUtf16(u"\u201cx\u201d"));
  EXPECT_EQ(TextOf("{\\rtf1\\uc2 \\u233??z}"), QString::fromUtf16(u"\u00e9z"));
  EXPECT_EQ(TextOf("{\\rtf1\\uc0 \\u233 z}"), QString::fromUtf16(u"\u00e9z"));
  EXPECT_EQ(TextOf("{\\rtf1\\uc1 \\u-3913?}"), QString::fromUtf16(u"\uf0b7"));
  EXPECT_EQ(TextOf("{\\rtf1\\uc1 \\u8364\\'80 after}"), QString::fromUtf16(u"\u20ac after"));
}

TEST(RtfReader, DestinationsThatAreNotTextLeaveNothing) {
  EXPECT_EQ(TextOf("{\\rtf1{\\*\\generator Writer 1.0;}{\\info{\\title T}{\\author A}}"
                   "{\\stylesheet{\\s0 Normal;}}{\\pict\\pngblip 89504e47}{\\*\\unknown skipped}"
                   "{\\header page}kept}"),
                QStringLiteral("kept"));
}

TEST(RtfReader, EscapedCharactersAreText) {
  EXPECT_EQ(TextOf("{\\rtf1 a\\{b\\}c\\\\d}"), QStringLiteral("a{b}c\\d"));
  EXPECT_EQ(TextOf("{\\rtf1 non\\~breaking}"), QString::fromUtf16(u"non\u00a0breaking"));
}

}  // namespace
}  // namespace tailmend

// Hostile and mangled RTF: the reader must finish quickly on anything, without crashing.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTextCursor>
#include <QTextDocument>
#include <random>

#include "rtf/rtf_reader.h"

namespace tailmend {
namespace {

// Generous: a help document loads in milliseconds; this only catches hangs and blow-ups.
constexpr qint64 kMaxMillisecondsPerInput = 2000;

QByteArray HelpDocument(const char* name) {
  QFile file(QStringLiteral(TAILMEND_ASSETS_DIR "/") + QLatin1String(name));
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
  return file.readAll();
}

void ExpectReadsInTime(const QByteArray& rtf, const std::string& what) {
  QTextDocument document;
  QElapsedTimer timer;
  timer.start();
  ReadRtf(rtf, document);
  EXPECT_LT(timer.elapsed(), kMaxMillisecondsPerInput) << what;
}

TEST(RtfHelpDocuments, BothReadAsFormattedText) {
  for (const char* name : {"whatis.rtf", "howto.rtf"}) {
    QTextDocument document;
    ASSERT_TRUE(ReadRtf(HelpDocument(name), document)) << name;
    const QString text = document.toPlainText();
    EXPECT_TRUE(text.contains(QStringLiteral("Tailmend"))) << name;
    EXPECT_FALSE(text.contains(QLatin1Char('\\'))) << name << ": a control word leaked into the text";
    EXPECT_FALSE(text.contains(QLatin1Char('{'))) << name;
    const QTextCursor heading = document.find(QStringLiteral("Tailmend"));
    EXPECT_TRUE(heading.charFormat().font().bold()) << name << ": the first mention is in the bold title";
  }
}

TEST(RtfHostileInput, NumbersNestingAndBinaryDataAreBounded) {
  const std::vector<std::pair<std::string, QByteArray>> inputs = {
      {"huge size", "{\\rtf1\\fs99999999999999999999 x}"},
      {"huge negative unicode", "{\\rtf1\\u-99999999999 x\\u99999999999 y}"},
      {"huge fallback count", "{\\rtf1\\uc2147483647\\u233 abc}"},
      {"colour past the table", "{\\rtf1{\\colortbl;\\red1;}\\cf2147483647 x\\cf-5 y}"},
      {"font past the table", "{\\rtf1\\f99999 x\\f-1 y}"},
      {"binary past the end", "{\\rtf1\\bin2147483647 x}"},
      {"negative binary", "{\\rtf1\\bin-5 x}"},
      {"unclosed groups", QByteArray("{\\rtf1") + QByteArray(1000, '{') + "text"},
      {"extra closing groups", QByteArray("{\\rtf1 a") + QByteArray(1000, '}') + "b"},
      {"deep nesting", QByteArray("{\\rtf1") + QByteArray(100000, '{') + "deep" + QByteArray(100000, '}')},
      {"endless control word", QByteArray("{\\rtf1\\") + QByteArray(1 << 20, 'a')},
      {"endless parameter", QByteArray("{\\rtf1\\fs") + QByteArray(1 << 20, '9')},
      {"many tab stops", QByteArray("{\\rtf1") + QByteArray("\\tx100").repeated(100000) + "x}"},
      {"trailing backslash", "{\\rtf1 x\\"},
      {"cut hex byte", "{\\rtf1 x\\'e"},
      {"nul bytes", QByteArray("{\\rtf1 a\0b\\'00c}", 16)},
  };
  for (const auto& [what, rtf] : inputs) ExpectReadsInTime(rtf, what);
}

TEST(RtfHostileInput, RandomBytesAfterTheMark) {
  std::mt19937 random(20261208);
  for (int round = 0; round < 200; ++round) {
    QByteArray rtf("{\\rtf1");
    const int length = static_cast<int>(random() % 4096);
    for (int i = 0; i < length; ++i) rtf.append(static_cast<char>(random()));
    ExpectReadsInTime(rtf, "random round " + std::to_string(round));
  }
}

// Flips, inserts and deletes bytes of the real help documents, and cuts them short, so that the
// mangled input keeps enough structure to reach every part of the reader.
TEST(RtfHostileInput, MutatedHelpDocuments) {
  std::mt19937 random(8122026);
  const char* const interesting[] = {"{", "}", "\\", "\\'", "\\u", "\\uc", "\\bin", "\\*", "\\fonttbl", "-"};
  for (const char* name : {"whatis.rtf", "howto.rtf"}) {
    const QByteArray original = HelpDocument(name);
    ASSERT_FALSE(original.isEmpty());
    for (int round = 0; round < 150; ++round) {
      QByteArray rtf = original;
      for (int edit = 0; edit < 1 + static_cast<int>(random() % 20); ++edit) {
        const auto at = static_cast<qsizetype>(random() % static_cast<unsigned>(rtf.size()));
        switch (random() % 4) {
          case 0: rtf[at] = static_cast<char>(random()); break;
          case 1: rtf.insert(at, interesting[random() % std::size(interesting)]); break;
          case 2: rtf.remove(at, 1 + static_cast<qsizetype>(random() % 8)); break;
          default: rtf.truncate(std::max<qsizetype>(at, 6)); break;
        }
        if (rtf.isEmpty()) rtf = "{\\rtf1";
      }
      ExpectReadsInTime(rtf, std::string(name) + " round " + std::to_string(round));
    }
  }
}

}  // namespace
}  // namespace tailmend

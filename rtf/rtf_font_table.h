#pragma once

#include <QByteArray>
#include <QString>
#include <map>
#include <optional>

namespace tailmend {

class RtfTextDecoder;

// The \fonttbl of a document: family name and character set of each font number. Filled entry by
// entry while the reader walks the table.
class RtfFontTable {
public:
  void BeginEntry(int number);
  void SetCharset(int charset);
  void AppendNameByte(char byte);
  // Closes the entry being read, decoding its name in its own character set's code page.
  void EndEntry(RtfTextDecoder& decoder, int documentCodePage);

  QString Family(int number) const;
  std::optional<int> Charset(int number) const;

private:
  struct Entry {
    QString family;
    std::optional<int> charset;
  };

  // A real document names a few dozen fonts; further entries of a hostile one are dropped.
  static constexpr std::size_t kMaxEntries = 1024;
  static constexpr qsizetype kMaxNameBytes = 256;

  std::map<int, Entry> entries_;
  std::optional<int> current_;
  std::optional<int> currentCharset_;
  QByteArray currentName_;
};

}  // namespace tailmend

#pragma once

#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <map>
#include <memory>

namespace tailmend {

// The ANSI code page RTF assumes when a document names none.
inline constexpr int kRtfDefaultCodePage = 1252;

// The Windows code page of a font's \fcharset; the document's own code page for the ANSI and
// default character sets and for any set the reader does not know.
int RtfCodePageForCharset(int charset, int documentCodePage);

// Turns bytes of a Windows code page into text. Windows-1252 is decoded from a table of its own;
// the others through Qt's codecs, which on Linux are ICU's. A code page Qt cannot decode falls
// back to Windows-1252, so text never goes missing, at worst it is shown in the wrong script.
class RtfTextDecoder {
public:
  QString Decode(const QByteArray& bytes, int codePage);

private:
  QStringDecoder* DecoderFor(int codePage);

  std::map<int, std::unique_ptr<QStringDecoder>> decoders_;
};

}  // namespace tailmend

#pragma once

#include <QByteArray>
#include <QString>

namespace tailmend {

class RtfTextDecoder;

// The text read since the last change of format: bytes still in their code page, and characters
// from \uN and the symbol words, kept in the order they came.
class RtfPendingText {
public:
  explicit RtfPendingText(RtfTextDecoder& decoder);

  void AddByte(char byte, int codePage);
  void AddCharacter(char16_t unit);
  bool IsEmpty() const { return bytes_.isEmpty() && text_.isEmpty(); }
  // The text so far, made safe for a Qt document, and starts afresh.
  QString Take();

private:
  void DecodeBytes();

  RtfTextDecoder& decoder_;
  QByteArray bytes_;
  int codePage_ = 0;
  QString text_;
};

}  // namespace tailmend

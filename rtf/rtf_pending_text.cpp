#include "rtf/rtf_pending_text.h"

#include "rtf/rtf_code_page.h"

namespace tailmend {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

// Qt gives a few characters a meaning of its own in a document (object placeholders, frame
// marks), and control characters other than tab have no place in shown text.
bool IsUnsafeForDocument(char16_t unit) {
  return (unit < 0x20 && unit != u'\t') || unit == 0xFFFC || unit == 0xFDD0 || unit == 0xFDD1 ||
         unit == 0xFFFE || unit == 0xFFFF;
}

// \uN may deliver half of a surrogate pair on its own; such halves become replacement characters.
void ReplaceUnsafeUnits(QString& text) {
  const qsizetype size = text.size();
  for (qsizetype i = 0; i < size; ++i) {
    const char16_t unit = text[i].unicode();
    if (QChar::isHighSurrogate(unit) && i + 1 < size && QChar::isLowSurrogate(text[i + 1].unicode())) {
      ++i;
    } else if (QChar::isSurrogate(unit) || IsUnsafeForDocument(unit)) {
      text[i] = QChar(kReplacement);
    }
  }
}

}  // namespace

RtfPendingText::RtfPendingText(RtfTextDecoder& decoder) : decoder_(decoder) {}

void RtfPendingText::AddByte(char byte, int codePage) {
  if (!bytes_.isEmpty() && codePage != codePage_) DecodeBytes();
  codePage_ = codePage;
  bytes_.append(byte);
}

void RtfPendingText::AddCharacter(char16_t unit) {
  DecodeBytes();
  text_.append(QChar(unit));
}

QString RtfPendingText::Take() {
  DecodeBytes();
  ReplaceUnsafeUnits(text_);
  QString text;
  text.swap(text_);
  return text;
}

void RtfPendingText::DecodeBytes() {
  if (bytes_.isEmpty()) return;
  text_.append(decoder_.Decode(bytes_, codePage_));
  bytes_.clear();
}

}  // namespace tailmend

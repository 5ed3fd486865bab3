#include "rtf/rtf_characters.h"

namespace tailmend {

namespace {

// Qt keeps a line separator inside its paragraph, as \line asks.
constexpr char16_t kLineSeparator = 0x2028;

}  // namespace

std::optional<char16_t> RtfWordCharacter(RtfWord word) {
  switch (word) {
    case RtfWord::kTab: return u'\t';
    case RtfWord::kLine: return kLineSeparator;
    case RtfWord::kBullet: return 0x2022;
    case RtfWord::kEnDash: return 0x2013;
    case RtfWord::kEmDash: return 0x2014;
    case RtfWord::kLeftQuote: return 0x2018;
    case RtfWord::kRightQuote: return 0x2019;
    case RtfWord::kLeftDoubleQuote: return 0x201C;
    case RtfWord::kRightDoubleQuote: return 0x201D;
    case RtfWord::kEnSpace: return 0x2002;
    case RtfWord::kEmSpace: return 0x2003;
    case RtfWord::kQuarterEmSpace: return 0x2005;
    case RtfWord::kZeroWidthJoiner: return 0x200D;
    case RtfWord::kZeroWidthNonJoiner: return 0x200C;
    default: return std::nullopt;
  }
}

std::optional<char16_t> RtfSymbolCharacter(char symbol) {
  switch (symbol) {
    case '\\': return u'\\';
    case '{': return u'{';
    case '}': return u'}';
    case '~': return 0x00A0;  // non-breaking space
    case '-': return 0x00AD;  // optional hyphen, shown only where a line breaks
    case '_': return 0x2011;  // non-breaking hyphen
    default: return std::nullopt;
  }
}

}  // namespace tailmend

#pragma once

#include <string_view>

namespace tailmend {

// The control words the reader acts on. Everything else is ignored, as RTF asks of readers.
enum class RtfWord {
  kUnknown,
  // document and tables
  kAnsiCodePage, kDefaultFont, kFontTable, kColourTable, kFontCharset, kRed, kGreen, kBlue,
  // destinations whose text is never shown
  kSkippedDestination,
  // character formatting
  kPlain, kBold, kItalic, kUnderline, kUnderlineNone, kStrike, kSuperscript, kSubscript,
  kNoSuperSub, kFont, kFontSize, kColour, kHighlight, kHidden,
  // paragraph formatting
  kParagraphDefault, kAlignLeft, kAlignCentre, kAlignRight, kAlignJustify, kLeftIndent,
  kRightIndent, kFirstIndent, kSpaceBefore, kSpaceAfter, kTabStop,
  // text
  kParagraph, kLine, kTab, kUnicode, kUnicodeSkip, kBinary,
  kBullet, kEnDash, kEmDash, kLeftQuote, kRightQuote, kLeftDoubleQuote, kRightDoubleQuote,
  kEnSpace, kEmSpace, kQuarterEmSpace, kZeroWidthJoiner, kZeroWidthNonJoiner,
};

RtfWord LookUpRtfWord(std::string_view name);

}  // namespace tailmend

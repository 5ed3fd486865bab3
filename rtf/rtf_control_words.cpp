#include "rtf/rtf_control_words.h"

#include <string_view>
#include <unordered_map>

namespace tailmend {

namespace {

using Words = std::unordered_map<std::string_view, RtfWord>;

const Words& AllWords() {
  static const Words words = {
      {"ansicpg", RtfWord::kAnsiCodePage},
      {"deff", RtfWord::kDefaultFont},
      {"fonttbl", RtfWord::kFontTable},
      {"colortbl", RtfWord::kColourTable},
      {"fcharset", RtfWord::kFontCharset},
      {"red", RtfWord::kRed},
      {"green", RtfWord::kGreen},
      {"blue", RtfWord::kBlue},
      // Headers, footers, notes, document properties, pictures, objects, field codes and the
      // tables of styles, lists and revisions: none of them is part of the running text.
      {"stylesheet", RtfWord::kSkippedDestination},
      {"info", RtfWord::kSkippedDestination},
      {"pict", RtfWord::kSkippedDestination},
      {"object", RtfWord::kSkippedDestination},
      {"objdata", RtfWord::kSkippedDestination},
      {"header", RtfWord::kSkippedDestination},
      {"headerl", RtfWord::kSkippedDestination},
      {"headerr", RtfWord::kSkippedDestination},
      {"headerf", RtfWord::kSkippedDestination},
      {"footer", RtfWord::kSkippedDestination},
      {"footerl", RtfWord::kSkippedDestination},
      {"footerr", RtfWord::kSkippedDestination},
      {"footerf", RtfWord::kSkippedDestination},
      {"footnote", RtfWord::kSkippedDestination},
      {"ftnsep", RtfWord::kSkippedDestination},
      {"ftnsepc", RtfWord::kSkippedDestination},
      {"ftncn", RtfWord::kSkippedDestination},
      {"annotation", RtfWord::kSkippedDestination},
      {"atnid", RtfWord::kSkippedDestination},
      {"atnauthor", RtfWord::kSkippedDestination},
      {"fldinst", RtfWord::kSkippedDestination},
      {"filetbl", RtfWord::kSkippedDestination},
      {"listtable", RtfWord::kSkippedDestination},
      {"listoverridetable", RtfWord::kSkippedDestination},
      {"revtbl", RtfWord::kSkippedDestination},
      {"rsidtbl", RtfWord::kSkippedDestination},
      {"private", RtfWord::kSkippedDestination},
      {"xe", RtfWord::kSkippedDestination},
      {"tc", RtfWord::kSkippedDestination},
      {"txe", RtfWord::kSkippedDestination},
      {"rxe", RtfWord::kSkippedDestination},
      {"bkmkstart", RtfWord::kSkippedDestination},
      {"bkmkend", RtfWord::kSkippedDestination},
      {"themedata", RtfWord::kSkippedDestination},
      {"colorschememapping", RtfWord::kSkippedDestination},
      {"latentstyles", RtfWord::kSkippedDestination},
      {"datastore", RtfWord::kSkippedDestination},
      {"shp", RtfWord::kSkippedDestination},
      {"nonshppict", RtfWord::kSkippedDestination},
      {"plain", RtfWord::kPlain},
      {"b", RtfWord::kBold},
      {"i", RtfWord::kItalic},
      {"ul", RtfWord::kUnderline},
      {"uld", RtfWord::kUnderline},
      {"uldb", RtfWord::kUnderline},
      {"uldash", RtfWord::kUnderline},
      {"ulth", RtfWord::kUnderline},
      {"ulw", RtfWord::kUnderline},
      {"ulwave", RtfWord::kUnderline},
      {"ulnone", RtfWord::kUnderlineNone},
      {"strike", RtfWord::kStrike},
      {"super", RtfWord::kSuperscript},
      {"sub", RtfWord::kSubscript},
      {"nosupersub", RtfWord::kNoSuperSub},
      {"f", RtfWord::kFont},
      {"fs", RtfWord::kFontSize},
      {"cf", RtfWord::kColour},
      {"highlight", RtfWord::kHighlight},
      {"cb", RtfWord::kHighlight},
      {"v", RtfWord::kHidden},
      {"pard", RtfWord::kParagraphDefault},
      {"ql", RtfWord::kAlignLeft},
      {"qc", RtfWord::kAlignCentre},
      {"qr", RtfWord::kAlignRight},
      {"qj", RtfWord::kAlignJustify},
      {"li", RtfWord::kLeftIndent},
      {"ri", RtfWord::kRightIndent},
      {"fi", RtfWord::kFirstIndent},
      {"sb", RtfWord::kSpaceBefore},
      {"sa", RtfWord::kSpaceAfter},
      {"tx", RtfWord::kTabStop},
      {"par", RtfWord::kParagraph},
      {"page", RtfWord::kParagraph},
      {"sect", RtfWord::kParagraph},
      {"line", RtfWord::kLine},
      {"tab", RtfWord::kTab},
      {"u", RtfWord::kUnicode},
      {"uc", RtfWord::kUnicodeSkip},
      {"bin", RtfWord::kBinary},
      {"bullet", RtfWord::kBullet},
      {"endash", RtfWord::kEnDash},
      {"emdash", RtfWord::kEmDash},
      {"lquote", RtfWord::kLeftQuote},
      {"rquote", RtfWord::kRightQuote},
      {"ldblquote", RtfWord::kLeftDoubleQuote},
      {"rdblquote", RtfWord::kRightDoubleQuote},
      {"enspace", RtfWord::kEnSpace},
      {"emspace", RtfWord::kEmSpace},
      {"qmspace", RtfWord::kQuarterEmSpace},
      {"zwj", RtfWord::kZeroWidthJoiner},
      {"zwnj", RtfWord::kZeroWidthNonJoiner},
  };
  return words;
}

}  // namespace

RtfWord LookUpRtfWord(std::string_view name) {
  const Words& words = AllWords();
  const auto found = words.find(name);
  return found == words.end() ? RtfWord::kUnknown : found->second;
}

}  // namespace tailmend

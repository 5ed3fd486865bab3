#include "rtf/rtf_formatting.h"

#include <algorithm>

namespace tailmend {

namespace {

// \b, \i, \ul and their kin switch on without a parameter or with any parameter but 0.
bool Toggle(RtfParameter parameter) { return !parameter.present || parameter.value != 0; }

int Twips(RtfParameter parameter) {
  return parameter.present ? std::clamp(parameter.value, -kRtfMaxTwips, kRtfMaxTwips) : 0;
}

// Indices into the font and colour tables; a negative one can never name an entry.
int TableIndex(RtfParameter parameter, int absent) {
  if (!parameter.present) return absent;
  return parameter.value < 0 ? -1 : parameter.value;
}

void AddTabStop(RtfParagraphFormat& paragraph, RtfParameter parameter) {
  if (paragraph.tabCount == kRtfMaxTabStops) return;
  paragraph.tabTwips[paragraph.tabCount++] = std::max(Twips(parameter), 0);
}

bool ApplyCharacter(RtfWord word, RtfParameter parameter, RtfCharacterFormat& format) {
  switch (word) {
    case RtfWord::kPlain:
      format = RtfCharacterFormat{};
      return true;
    case RtfWord::kBold: format.bold = Toggle(parameter); return true;
    case RtfWord::kItalic: format.italic = Toggle(parameter); return true;
    case RtfWord::kUnderline: format.underline = Toggle(parameter); return true;
    case RtfWord::kUnderlineNone: format.underline = false; return true;
    case RtfWord::kStrike: format.strike = Toggle(parameter); return true;
    case RtfWord::kHidden: format.hidden = Toggle(parameter); return true;
    case RtfWord::kSuperscript: format.vertical = RtfVerticalAlignment::kSuperscript; return true;
    case RtfWord::kSubscript: format.vertical = RtfVerticalAlignment::kSubscript; return true;
    case RtfWord::kNoSuperSub: format.vertical = RtfVerticalAlignment::kNormal; return true;
    case RtfWord::kFont: format.font = TableIndex(parameter, -1); return true;
    case RtfWord::kColour: format.colour = TableIndex(parameter, 0); return true;
    case RtfWord::kHighlight: format.highlight = TableIndex(parameter, 0); return true;
    case RtfWord::kFontSize:
      format.halfPoints = parameter.present ? std::clamp(parameter.value, 1, kRtfMaxHalfPoints)
                                            : RtfCharacterFormat{}.halfPoints;
      return true;
    default:
      return false;
  }
}

bool ApplyParagraph(RtfWord word, RtfParameter parameter, RtfParagraphFormat& format) {
  switch (word) {
    case RtfWord::kParagraphDefault: format = RtfParagraphFormat{}; return true;
    case RtfWord::kAlignLeft: format.alignment = RtfAlignment::kLeft; return true;
    case RtfWord::kAlignCentre: format.alignment = RtfAlignment::kCentre; return true;
    case RtfWord::kAlignRight: format.alignment = RtfAlignment::kRight; return true;
    case RtfWord::kAlignJustify: format.alignment = RtfAlignment::kJustify; return true;
    case RtfWord::kLeftIndent: format.leftTwips = Twips(parameter); return true;
    case RtfWord::kRightIndent: format.rightTwips = Twips(parameter); return true;
    case RtfWord::kFirstIndent: format.firstLineTwips = Twips(parameter); return true;
    case RtfWord::kSpaceBefore: format.beforeTwips = std::max(Twips(parameter), 0); return true;
    case RtfWord::kSpaceAfter: format.afterTwips = std::max(Twips(parameter), 0); return true;
    case RtfWord::kTabStop: AddTabStop(format, parameter); return true;
    default:
      return false;
  }
}

}  // namespace

bool ApplyRtfFormatting(RtfWord word, RtfParameter parameter, RtfGroupState& state) {
  return ApplyCharacter(word, parameter, state.character) ||
         ApplyParagraph(word, parameter, state.paragraph);
}

}  // namespace tailmend

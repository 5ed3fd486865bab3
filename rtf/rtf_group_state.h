#pragma once

#include <array>
#include <cstddef>

namespace tailmend {

// Word's own limits on these values; larger ones are clamped so that hostile numbers cannot ask
// for absurd fonts or margins.
inline constexpr int kRtfMaxHalfPoints = 3276;
inline constexpr int kRtfMaxTwips = 31680;
// A paragraph has at most this many tab stops; more are ignored, which also keeps the copy of the
// state made for every group small.
inline constexpr std::size_t kRtfMaxTabStops = 64;

enum class RtfVerticalAlignment { kNormal, kSuperscript, kSubscript };
enum class RtfAlignment { kLeft, kCentre, kRight, kJustify };

struct RtfCharacterFormat {
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strike = false;
  bool hidden = false;
  RtfVerticalAlignment vertical = RtfVerticalAlignment::kNormal;
  int halfPoints = 24;  // RTF's default size, 12 points
  int font = -1;        // -1: the document's default font (\deff)
  int colour = 0;       // 0: the automatic colour
  int highlight = 0;
};

struct RtfParagraphFormat {
  RtfAlignment alignment = RtfAlignment::kLeft;
  int leftTwips = 0;
  int rightTwips = 0;
  int firstLineTwips = 0;
  int beforeTwips = 0;
  int afterTwips = 0;
  std::array<int, kRtfMaxTabStops> tabTwips{};
  std::size_t tabCount = 0;
};

// Where the text of a group goes.
enum class RtfDestination { kText, kFontTable, kColourTable, kSkipped };

// Everything an RTF group saves on '{' and restores on '}'.
struct RtfGroupState {
  RtfCharacterFormat character;
  RtfParagraphFormat paragraph;
  RtfDestination destination = RtfDestination::kText;
  int unicodeSkip = 1;  // \ucN: fallback characters that follow each \uN
};

}  // namespace tailmend

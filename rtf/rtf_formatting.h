#pragma once

#include "rtf/rtf_control_words.h"
#include "rtf/rtf_group_state.h"

namespace tailmend {

// A control word's parameter, when it has one.
struct RtfParameter {
  bool present = false;
  int value = 0;
};

// Applies a character or paragraph formatting word to state. Returns false for any other word.
bool ApplyRtfFormatting(RtfWord word, RtfParameter parameter, RtfGroupState& state);

}  // namespace tailmend

#pragma once

#include <optional>

#include "rtf/rtf_control_words.h"

namespace tailmend {

// The character a text-producing control word stands for (\tab, \line, \bullet, \rquote...).
std::optional<char16_t> RtfWordCharacter(RtfWord word);

// The character a control symbol stands for (\{, \\, \~...); none for the others.
std::optional<char16_t> RtfSymbolCharacter(char symbol);

}  // namespace tailmend

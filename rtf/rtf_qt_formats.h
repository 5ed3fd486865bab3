#pragma once

#include <QTextBlockFormat>
#include <QTextCharFormat>

#include "rtf/rtf_group_state.h"

namespace tailmend {

class RtfColourTable;
class RtfFontTable;

QTextCharFormat ToQtCharFormat(const RtfCharacterFormat& format, const RtfFontTable& fonts,
                               const RtfColourTable& colours);

QTextBlockFormat ToQtBlockFormat(const RtfParagraphFormat& format);

}  // namespace tailmend

#pragma once

#include <QByteArray>

class QTextDocument;

namespace tailmend {

// Fills document with the formatted text of an RTF file's bytes. Returns false, leaving the
// document untouched, when the bytes do not start as RTF; the caller then shows them as plain text.
// Never crashes or hangs on hostile input.
bool ReadRtf(const QByteArray& rtf, QTextDocument& document);

}  // namespace tailmend

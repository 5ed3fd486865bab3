#pragma once

#include <QByteArray>
#include <QImage>
#include <optional>
#include <string>

#include "engine/heap_reader.h"

namespace tailmend {

// Decodes JPEG bytes held in memory with libjpeg. Bytes it cannot read give a null image.
QImage DecodeJpeg(const QByteArray& bytes);
// The same, as large as fits into a box of that many pixels, its proportions kept: decoded at the
// largest reduction libjpeg offers that is still large enough (FittedSize, JpegReduction), then
// shrunk smoothly to the size that fits.
QImage DecodeJpegToFit(const QByteArray& bytes, QSize box);

// The camera's preview in a photo, read alone from the file at its place (ReadPreviewOf) and decoded
// to fit the box; a null image where there is none, it cannot be read or it cannot be decoded.
QImage PreviewPicture(const std::string& path, const std::optional<PreviewPlace>& place, QSize box);

// The decorative picture of the main window, compiled into the program as JPEG bytes.
QImage MainPicture();

}  // namespace tailmend

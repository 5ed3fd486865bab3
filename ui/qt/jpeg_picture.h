#pragma once

#include <QByteArray>
#include <QImage>

namespace tailmend {

// Decodes JPEG bytes held in memory with libjpeg. Bytes it cannot read give a null image.
QImage DecodeJpeg(const QByteArray& bytes);

// The decorative picture of the main window, compiled into the program as JPEG bytes.
QImage MainPicture();

}  // namespace tailmend

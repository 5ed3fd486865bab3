#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "engine/heap_reader.h"

namespace tailmend {

// A decoded picture: rows from the top, each pixel blue, green, red and an unused byte.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;

  bool Empty() const { return pixels.empty(); }
};

// Decodes JPEG bytes held in memory with the Windows Imaging Component, the system's own decoder.
// Bytes it cannot read give an empty picture. COM must be initialised on the calling thread.
Picture DecodeJpeg(std::span<const unsigned char> bytes);
// The same, as large as fits into a box of that many pixels, its proportions kept (FittedSize): the
// system's scaler shrinks it while it is decoded.
Picture DecodeJpegToFit(std::span<const unsigned char> bytes, SIZE box);

// The camera's preview in a photo, read alone from the file at its place (ReadPreviewOf) and decoded
// to fit the box; an empty picture where there is none, it cannot be read or it cannot be decoded.
Picture PreviewPicture(const std::string& path, const std::optional<PreviewPlace>& place, SIZE box);

// The JPEG bytes of the main window's picture, compiled into the program as a resource.
std::span<const unsigned char> MainPictureBytes();

// A device-independent bitmap of the picture for a picture control, at the size given; the caller
// deletes it. A picture drawn larger or smaller than it is is filtered (the system's halftone
// stretching), so that its edges stay smooth rather than stepped.
HBITMAP MakeBitmap(const Picture& picture, SIZE size);

}  // namespace tailmend

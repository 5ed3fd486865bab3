#include "ui/behaviour/picture_fit.h"

#include <algorithm>
#include <cstdint>

namespace tailmend {

DesignSize FittedSize(DesignSize picture, DesignSize box) {
  if (picture.width <= 0 || picture.height <= 0 || picture.width > kMaxPictureSide ||
      picture.height > kMaxPictureSide) {
    return {0, 0};
  }
  if (picture.width <= box.width && picture.height <= box.height) return picture;
  // Width over height of the picture against the box's, without rounding: cross-multiplied.
  const bool widthBound = std::int64_t{picture.width} * box.height >= std::int64_t{picture.height} * box.width;
  if (widthBound) {
    const auto height = static_cast<int>(std::int64_t{picture.height} * box.width / picture.width);
    return {box.width, std::max(height, 1)};
  }
  const auto width = static_cast<int>(std::int64_t{picture.width} * box.height / picture.height);
  return {std::max(width, 1), box.height};
}

int JpegReduction(DesignSize picture, DesignSize shown) {
  for (const int reduction : {8, 4, 2}) {
    const int width = (picture.width + reduction - 1) / reduction;
    const int height = (picture.height + reduction - 1) / reduction;
    if (width >= shown.width && height >= shown.height) return reduction;
  }
  return 1;
}

}  // namespace tailmend

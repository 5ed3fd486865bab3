#pragma once

#include "ui/behaviour/window_design.h"

namespace tailmend {

// A preview wider or higher than this is no camera's, and is not decoded: its header alone could
// ask for gigabytes.
inline constexpr int kMaxPictureSide = 16384;

// The size a picture is shown at in a box: as large as fits, its proportions kept, never larger
// than the picture itself; at least one pixel each way. Nothing (0 x 0) for a picture of no pixels
// or one larger than kMaxPictureSide either way.
DesignSize FittedSize(DesignSize picture, DesignSize box);

// The largest of the reductions a JPEG decoder makes while decoding (1, 2, 4 or 8: the picture's
// sides divided by it, rounded up) that still leaves the picture at least as large as shown, so
// that a preview of millions of pixels is never decoded whole for a box of thousands.
int JpegReduction(DesignSize picture, DesignSize shown);

}  // namespace tailmend

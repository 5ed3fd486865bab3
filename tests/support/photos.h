#pragma once

#include <cstdint>

#include "tests/support/ciff_builder.h"

namespace tailmend::test {

// The photo most tests repair: a CRW file whose root heap ends at kPhotoHeapEnd, with junk after it,
// and the same photo repaired, cut right there.
inline constexpr std::uint32_t kPhotoHeapEnd = 700000;
const Bytes& DamagedPhoto();
const Bytes& HealthyPhoto();
// The damaged photo with a real JPEG as its preview (0x2007), as a camera stores one.
Bytes PhotoWithPreview(const Bytes& jpeg);

}  // namespace tailmend::test

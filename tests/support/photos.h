#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "tests/support/ciff_builder.h"
#include "tests/support/temp_dir.h"

namespace tailmend::test {

// The photo most tests repair: a CRW file whose root heap ends at kPhotoHeapEnd, with junk after it,
// and the same photo repaired, cut right there.
inline constexpr std::uint32_t kPhotoHeapEnd = 700000;
const Bytes& DamagedPhoto();
const Bytes& HealthyPhoto();

// A test in a fresh folder of its own, with that photo at hand, damaged and healthy.
class PhotoFolderTest : public ::testing::Test {
protected:
  TempDir dir;
  const Bytes& damaged = DamagedPhoto();
  const Bytes& healthy = HealthyPhoto();
};

}  // namespace tailmend::test

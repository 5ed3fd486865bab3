#pragma once

#include <gtest/gtest.h>

#include "tests/support/photos.h"
#include "tests/support/temp_dir.h"

namespace tailmend::test {

// A test in a fresh folder of its own, with the common photo at hand, damaged and healthy.
class PhotoFolderTest : public ::testing::Test {
protected:
  TempDir dir;
  const Bytes& damaged = DamagedPhoto();
  const Bytes& healthy = HealthyPhoto();
};

}  // namespace tailmend::test

#include <gtest/gtest.h>

#include <QImage>
#include <set>

#include "ui/qt/state_icons.h"

namespace tailmend::test {
namespace {

// Each state has a picture of its own at both sizes, opaque in its middle.
TEST(StateIcons, EachStateHasItsOwnPictureAt16And32Pixels) {
  std::set<QByteArray> pictures;
  for (const FileState state : {FileState::Repaired, FileState::Healthy, FileState::DamagedInside,
                                FileState::NotRepairable, FileState::Failed}) {
    const QIcon icon = StateIcon(state);
    for (const int pixels : {16, 32}) {
      SCOPED_TRACE(std::string(StateIconName(state)) + " at " + std::to_string(pixels));
      const QImage picture = icon.pixmap(QSize(pixels, pixels), 1.0).toImage();
      ASSERT_EQ(picture.size(), QSize(pixels, pixels));
      EXPECT_EQ(picture.pixelColor(pixels / 2, pixels * 2 / 3).alpha(), 255);
      pictures.insert(QByteArray(reinterpret_cast<const char*>(picture.constBits()), picture.sizeInBytes()));
    }
  }
  EXPECT_EQ(pictures.size(), 10u) << "no two states share a picture";
}

}  // namespace
}  // namespace tailmend::test

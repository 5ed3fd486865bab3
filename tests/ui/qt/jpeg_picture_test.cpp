#include <gtest/gtest.h>

#include <QFile>

#include "ui/qt/jpeg_picture.h"

namespace tailmend::test {
namespace {

QByteArray PictureBytes() {
  QFile file(QStringLiteral(":/tailmend/main_picture.jpg"));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(JpegPicture, TheMainWindowPictureDecodesToItsDesignedSize) {
  const QImage picture = MainPicture();
  ASSERT_FALSE(picture.isNull());
  EXPECT_EQ(picture.size(), QSize(338, 226));
  const QColor corner = picture.pixelColor(0, 0);
  EXPECT_GT(corner.lightness(), 230) << "the picture stands on white";
}

TEST(JpegPicture, BytesThatAreNoJpegGiveANullImageInsteadOfEndingTheProgram) {
  EXPECT_TRUE(DecodeJpeg(QByteArray()).isNull());
  EXPECT_TRUE(DecodeJpeg(QByteArray("GIF89a not a jpeg at all")).isNull());
  EXPECT_TRUE(DecodeJpeg(PictureBytes().left(100)).isNull()) << "a header cut short";
}

TEST(JpegPicture, ACutPictureStillDecodesToItsFullSize) {
  const QByteArray bytes = PictureBytes();
  ASSERT_GT(bytes.size(), 2000);
  EXPECT_EQ(DecodeJpeg(bytes.left(bytes.size() / 2)).size(), QSize(338, 226));
}

}  // namespace
}  // namespace tailmend::test

#include <gtest/gtest.h>

#include <QFile>

#include "engine/file_verdict.h"
#include "platform/file_stream.h"
#include "tests/support/photos.h"
#include "tests/support/temp_dir.h"
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

// A photo whose preview is a real JPEG: located by the verdict, read alone from the file and
// decoded reduced to fit its box, the same picture as decoded whole.
TEST(JpegPicture, APhotosPreviewIsDecodedToFitItsBox) {
  const QByteArray jpeg = PictureBytes();
  TempDir dir;
  const std::string photo = dir.Put("IMG_0042.CRW", PhotoWithPreview(Bytes(jpeg.begin(), jpeg.end())));
  FileStream stream = FileStream::OpenReadSharedRead(photo);
  const FileVerdict verdict = JudgeFile(stream);
  const QImage preview = PreviewPicture(photo, verdict.preview, QSize(80, 60));
  ASSERT_EQ(preview.size(), QSize(80, 53)) << "338 x 226 fitted into 80 x 60";
  const QImage whole = DecodeJpeg(jpeg).scaled(80, 53, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  for (const QPoint at : {QPoint(0, 0), QPoint(40, 26), QPoint(60, 40)}) {
    EXPECT_NEAR(preview.pixelColor(at).lightness(), whole.pixelColor(at).lightness(), 24) << at.x() << "," << at.y();
  }
  EXPECT_EQ(DecodeJpegToFit(jpeg, QSize(400, 400)).size(), QSize(338, 226)) << "never larger than it is";
  EXPECT_TRUE(PreviewPicture(photo, std::nullopt, QSize(80, 60)).isNull()) << "no preview";
  EXPECT_TRUE(PreviewPicture(photo, PreviewPlace{0, 1000}, QSize(80, 60)).isNull()) << "no JPEG there";
}

}  // namespace
}  // namespace tailmend::test

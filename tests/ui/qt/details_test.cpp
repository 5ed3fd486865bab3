#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "engine/file_verdict.h"
#include "platform/file_stream.h"
#include "tests/support/photos.h"
#include "tests/support/temp_dir.h"
#include "tests/ui/qt/ui_harness.h"
#include "ui/qt/details.h"

namespace tailmend::test {
namespace {

using DetailsWindow = WindowTest;

// A photo's row: its preview in the box, its name and sentence; "Show in Folder" shows the file and
// leaves the window open until OK.
TEST_F(DetailsWindow, ShowsThePhotoAndItsFolder) {
  QFile picture(QStringLiteral(":/tailmend/main_picture.jpg"));
  ASSERT_TRUE(picture.open(QIODevice::ReadOnly));
  const QByteArray jpeg = picture.readAll();
  TempDir dir;
  const std::string photo = dir.Put("IMG_0042.CRW", PhotoWithPreview(Bytes(jpeg.begin(), jpeg.end())));
  FileStream stream = FileStream::OpenReadSharedRead(photo);
  TfrmDetails frmDetails;
  frmDetails.Row = {photo, FileResult{Event::Done, JudgeFile(stream)}, {}};
  WithModal([&] { frmDetails.exec(); },
            [&](QDialog& details) {
              EXPECT_EQ(Find<QLineEdit>(details, "Edit1").text(), "IMG_0042.CRW");
              EXPECT_EQ(Find<QLineEdit>(details, "Edit2").text().toStdString(), dir.Path().string());
              EXPECT_EQ(Find<QLabel>(details, "Label14").text(), "CRW_0042.CRW") << "the camera's name";
              EXPECT_FALSE(Find<QLabel>(details, "Image1").pixmap().isNull()) << "the preview";
              Click(Find<QPushButton>(details, "Button2"));
              EXPECT_EQ(shownInFolder, QStringList{QString::fromStdString(photo)});
              EXPECT_TRUE(details.isVisible());
              Click(Find<QPushButton>(details, "Button1"));
              EXPECT_FALSE(details.isVisible());
            });
  TfrmDetails failed;
  failed.Row = {dir.File("gone.crw"), FileResult{Event::Failed, {}}, FileFailure{FailureKind::Open, "No such file"}};
  WithModal([&] { failed.exec(); }, [&](QDialog& details) {
    EXPECT_EQ(Find<QLabel>(details, "Image1").text(), "No preview");
    EXPECT_EQ(Find<QLabel>(details, "Label19").text(), "Failed: No such file");
  });
  EXPECT_TRUE(errorBoxes.empty());
}

}  // namespace
}  // namespace tailmend::test

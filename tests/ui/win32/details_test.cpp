#include <windows.h>

#include "engine/file_verdict.h"
#include "platform/file_stream.h"
#include "tests/support/photos.h"
#include "tests/support/temp_dir.h"
#include "tests/ui/win32/window_harness.h"
#include "ui/behaviour/window_designs.h"
#include "ui/win32/controls.h"
#include "ui/win32/details.h"
#include "ui/win32/wic_picture.h"

namespace tailmend::test {
namespace {

using DetailsWindow = WindowTest;

// A photo's row: its preview in the box, its name and the camera's; "Show in Folder" shows the
// file and leaves the window open until OK. A file never read has no preview.
TEST_F(DetailsWindow, ShowsThePhotoAndItsFolder) {
  const std::span<const unsigned char> jpeg = MainPictureBytes();
  TempDir dir;
  const std::string photo = dir.Put("IMG_0042.CRW", PhotoWithPreview(Bytes(jpeg.begin(), jpeg.end())));
  FileStream stream = FileStream::OpenReadSharedRead(photo);
  TfrmDetails frmDetails;
  frmDetails.Row = {photo, FileResult{Event::Done, JudgeFile(stream)}, {}};
  const WindowDesign& design = DetailsWindowDesign();
  WithModal([&] { frmDetails.ShowModal(nullptr); },
            [&](HWND details) {
              EXPECT_EQ(Text(Find(details, design, "Edit1")), L"IMG_0042.CRW");
              EXPECT_EQ(Text(Find(details, design, "Label14")), L"CRW_0042.CRW") << "the camera's name";
              EXPECT_NE(::SendMessageW(Find(details, design, "Image1"), STM_GETIMAGE, IMAGE_BITMAP, 0), 0) << "the preview";
              Click(Find(details, design, "Button2"));
              EXPECT_EQ(shownInFolder, std::vector<std::wstring>{WideForDisplay(photo)});
              EXPECT_TRUE(IsShown(details));
              Click(Find(details, design, "Button1"));
              EXPECT_FALSE(IsShown(details));
            });
  TfrmDetails failed;
  failed.Row = {dir.File("gone.crw"), FileResult{Event::Failed, {}}, FileFailure{FailureKind::Open, "No such file"}};
  WithModal([&] { failed.ShowModal(nullptr); }, [&](HWND details) {
    EXPECT_EQ(::SendMessageW(Find(details, design, "Image1"), STM_GETIMAGE, IMAGE_BITMAP, 0), 0) << "no preview";
    EXPECT_EQ(Text(Find(details, design, "Label19")), L"Failed: No such file");
  });
  EXPECT_TRUE(errorBoxes.empty());
}

}  // namespace
}  // namespace tailmend::test

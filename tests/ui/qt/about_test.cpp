#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "tests/ui/qt/ui_harness.h"
#include "ui/qt/about.h"
#include "ui/qt/main.h"

namespace tailmend::test {
namespace {

using AboutBox = WindowTest;

TEST_F(AboutBox, HomePageOpensThePageAndLeavesTheBoxOpenUntilOk) {
  TfrmMain window;
  window.show();
  WithModal([&] { Click(Find<QPushButton>(window, "Button3")); },
            [&](QDialog& about) {
              EXPECT_EQ(about.windowTitle(), "About");
              Click(Find<QLabel>(about, "Label5"));
              EXPECT_EQ(openedPages, QStringList{"http://www.tailmend.example/tailmend.htm"});
              EXPECT_TRUE(about.isVisible()) << "the link leaves the box open";
              Click(Find<QPushButton>(about, "Button1"));
              EXPECT_FALSE(about.isVisible());
              EXPECT_EQ(about.result(), QDialog::Accepted);
            });
  EXPECT_TRUE(errorBoxes.empty());
}

TEST_F(AboutBox, APressOutsideTheLinkOpensNothing) {
  TfrmAbout about;
  about.show();
  auto& link = Find<QLabel>(about, "Label5");
  QTest::mousePress(&link, Qt::LeftButton);
  QTest::mouseRelease(&link, Qt::LeftButton, {}, QPoint(link.width() + 20, 2));
  EXPECT_TRUE(openedPages.isEmpty()) << "releasing off the link cancels the click";
  about.close();
}

}  // namespace
}  // namespace tailmend::test

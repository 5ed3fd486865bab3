#include <windows.h>

#include "tests/ui/win32/window_harness.h"
#include "ui/behaviour/window_designs.h"
#include "ui/win32/main.h"

namespace tailmend::test {
namespace {

using AboutBox = WindowTest;

TEST_F(AboutBox, HomePageOpensThePageAndLeavesTheBoxOpenUntilOk) {
  TfrmMain window;
  window.Show();
  WithModal([&] { Click(Find(window.Handle(), MainWindowDesign(), "Button3")); },
            [&](HWND about) {
              EXPECT_EQ(Text(about), L"About");
              Click(Find(about, AboutBoxDesign(), "Label5"));
              EXPECT_EQ(openedPages, std::vector<std::wstring>{L"http://www.tailmend.example/tailmend.htm"});
              EXPECT_TRUE(IsShown(about)) << "the link leaves the box open";
              Click(Find(about, AboutBoxDesign(), "Button1"));
              EXPECT_FALSE(IsShown(about));
            });
  EXPECT_TRUE(errorBoxes.empty());
}

}  // namespace
}  // namespace tailmend::test

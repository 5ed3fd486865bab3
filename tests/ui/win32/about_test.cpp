#include <windows.h>

#include "tests/ui/win32/window_harness.h"
#include "ui/win32/about.h"
#include "ui/win32/main.h"

namespace tailmend::test {
namespace {

using AboutBox = WindowTest;

// The colour the dialog gives a label's text, asked the way the label asks before drawing.
COLORREF TextColourOf(HWND dialog, HWND label) {
  HDC dc = ::CreateCompatibleDC(nullptr);
  ::SetTextColor(dc, RGB(1, 2, 3));
  ::SendMessageW(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(label));
  const COLORREF colour = ::GetTextColor(dc);
  ::DeleteDC(dc);
  return colour;
}

LOGFONTW LogicalFont(HWND control) {
  LOGFONTW font{};
  ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
  return font;
}

TEST_F(AboutBox, ShowsNameVersionCopyrightAndALink) {
  TfrmAbout about;
  WithModal([&] { about.ShowModal(nullptr); },
            [](HWND dialog) {
              EXPECT_EQ(Text(dialog), L"About");
              const SIZE client = ClientSize(dialog);
              EXPECT_EQ(client.cx, 354);
              EXPECT_EQ(client.cy, 197);
              HWND name = Find(dialog, TfrmAbout::Label1);
              EXPECT_EQ(Text(name), L"Tailmend");
              const LOGFONTW title = LogicalFont(name);
              EXPECT_EQ(title.lfHeight, -21);
              EXPECT_EQ(title.lfWeight, FW_BOLD);
              EXPECT_STREQ(title.lfFaceName, L"Tahoma");
              EXPECT_EQ(TextColourOf(dialog, name), RGB(0, 0, 255));
              EXPECT_EQ(Text(Find(dialog, TfrmAbout::Label3)), L"Version 1.0 ");
              EXPECT_EQ(Text(Find(dialog, TfrmAbout::Label4)), L"Copyright (C) 2026 The Tailmend developers");
              EXPECT_EQ(TextColourOf(dialog, Find(dialog, TfrmAbout::Label4)), RGB(1, 2, 3)) << "plain text stays";

              HWND link = Find(dialog, TfrmAbout::Label5);
              EXPECT_EQ(Text(link), L"Home Page");
              EXPECT_TRUE(LogicalFont(link).lfUnderline);
              EXPECT_EQ(TextColourOf(dialog, link), RGB(0, 0, 255));
              ::SendMessageW(dialog, WM_SETCURSOR, reinterpret_cast<WPARAM>(link), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
              EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_HAND));
              EXPECT_EQ(::GetFocus(), Find(dialog, TfrmAbout::Button1));
            });
}

TEST_F(AboutBox, HomePageOpensThePageAndLeavesTheBoxOpenUntilOk) {
  TfrmMain window;
  window.Show();
  WithModal([&] { Click(Find(window.Handle(), TfrmMain::Button3)); },
            [&](HWND about) {
              EXPECT_EQ(Text(about), L"About");
              Click(Find(about, TfrmAbout::Label5));
              EXPECT_EQ(openedPages, std::vector<std::wstring>{L"http://www.tailmend.example/tailmend.htm"});
              EXPECT_TRUE(IsShown(about)) << "the link leaves the box open";
              Click(Find(about, TfrmAbout::Button1));
              EXPECT_FALSE(IsShown(about));
            });
  EXPECT_TRUE(errorBoxes.empty());
}

}  // namespace
}  // namespace tailmend::test

#include "ui/win32/about.h"

#include "ui/behaviour/product.h"
#include "ui/win32/controls.h"
#include "ui/win32/web_opener.h"

namespace tailmend {

namespace {

constexpr SIZE kClientSize{354, 197};
constexpr int kTitlePixels = 21;
constexpr COLORREF kBlue = RGB(0, 0, 255);

}  // namespace

TfrmAbout::TfrmAbout() : ModalDialog(L"About", kClientSize, true) {}

void TfrmAbout::FormCreate() {
  HWND dialog = Handle();
  MakeLabel(dialog, Label1, WideForDisplay(kProgramTitle), {48, 32}, TahomaFont(kTitlePixels, true));
  MakeLabel(dialog, Label3, WideForDisplay(AboutVersionText()), {49, 77});
  MakeLabel(dialog, Label4, WideForDisplay(kCopyrightLine), {49, 96});
  // A link: it tells the dialog when it is clicked.
  MakeLabel(dialog, Label5, L"Home Page", {48, 144}, TahomaFont(kWindowFontPixels, false, true), SS_NOTIFY);
  MakeButton(dialog, Button1, L"OK", Place(235, 144, 75, 25), BS_DEFPUSHBUTTON);
}

void TfrmAbout::Click(int control) {
  if (control == Label5) Label5Click();
  if (control == Button1) Close(IDOK);
}

void TfrmAbout::ColourText(int control, HDC dc) {
  if (control == Label1 || control == Label5) ::SetTextColor(dc, kBlue);
}

bool TfrmAbout::SetPointer(int control) {
  if (control != Label5) return false;
  ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
  return true;
}

void TfrmAbout::Label5Click() { OpenWebPage(WideForDisplay(kHomePage)); }

}  // namespace tailmend

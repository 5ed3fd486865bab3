// Each window as the Windows API draws it, beside its design: every control there, at its place,
// with its text, font and colour, in its parent, stacked and chained for Tab in the design's order;
// all of it at the screen's density (the tests run at several: Wine's LogPixels) and again once
// the window is told it moved to a screen of another.
#include <windows.h>
#include <commctrl.h>

#include <map>
#include <string>

#include "tests/ui/win32/window_harness.h"
#include "ui/behaviour/window_designs.h"
#include "ui/behaviour/details_window.h"
#include "ui/win32/about.h"
#include "ui/win32/controls.h"
#include "ui/win32/design_drawing.h"
#include "ui/win32/details.h"
#include "ui/win32/doc.h"
#include "ui/win32/main.h"
#include "ui/win32/process.h"

namespace tailmend::test {
namespace {

// What a window has written into its controls before it is first seen.
using TextsOnShow = std::map<std::string, std::wstring>;

// The colour the window gives a control's text, asked the way the control asks before drawing.
COLORREF TextColourOf(HWND window, HWND control) {
  HDC dc = ::CreateCompatibleDC(nullptr);
  ::SetTextColor(dc, RGB(1, 2, 3));
  ::SendMessageW(window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
  const COLORREF colour = ::GetTextColor(dc);
  ::DeleteDC(dc);
  return colour;
}

void ExpectFont(HWND control, const DesignFont& design) {
  LOGFONTW font{};
  ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
  EXPECT_EQ(font.lfHeight, -design.pixels);
  EXPECT_EQ(font.lfWeight, design.bold ? FW_BOLD : FW_NORMAL);
  EXPECT_EQ(font.lfUnderline != 0, design.underline);
  EXPECT_EQ(Utf8(font.lfFaceName), kDesignFontFamily);
}

// A size of 0 is the text's width or one line's height. An etched line's size is the system's:
// Wine makes it two pixels wider, and two high at any density.
void ExpectPlace(HWND control, const ControlDesign& design, const DesignFont& font) {
  const RECT place = PlaceInParent(control);
  const SIZE text = TextSize(WideForDisplay(design.text), DesignedFont(font));
  EXPECT_EQ(place.left, design.place.left);
  EXPECT_EQ(place.top, design.place.top);
  if (design.kind == ControlKind::Line) return;
  EXPECT_EQ(place.right, design.place.width != 0 ? design.place.width : text.cx) << "width";
  EXPECT_EQ(place.bottom, design.place.height != 0 ? design.place.height : TextSize(L"Ag", DesignedFont(font)).cy)
      << "height";
}

HFONT FontIn(HWND control) { return reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)); }

// What a control draws besides its text, across: a button's edges, a check box's box and the gap
// after it, the inset of a group box's caption; design pixels.
int RoomBesideText(ControlKind kind) {
  switch (kind) {
    case ControlKind::Button:
    case ControlKind::DefaultButton: return 6;
    case ControlKind::CheckBox: return 17;
    case ControlKind::GroupBox: return 16;
    default: return 0;
  }
}

// A text a control shows is not cut: it fits, in the control's font, beside what else the control
// draws. Labels without a width are as wide as their text already; the status labels cut a long
// status on purpose.
void ExpectTextFits(HWND control, const ControlDesign& design, int dpi) {
  if (RoomBesideText(design.kind) == 0) return;
  const SIZE text = TextSize(Text(control), FontIn(control));
  const RECT place = PlaceInParent(control);
  EXPECT_LE(text.cx + ScaledLength(RoomBesideText(design.kind), dpi), place.right) << "text cut";
  EXPECT_LE(text.cy, place.bottom) << "text cut";
}

// As drawn, with the texts' widths measured at the window's density.
void ExpectInsideParent(HWND control) {
  const RECT place = PlaceInParent(control);
  RECT parent{};
  ::GetClientRect(::GetParent(control), &parent);
  EXPECT_GE(place.left, 0);
  EXPECT_GE(place.top, 0);
  EXPECT_LE(place.left + place.right, parent.right) << "past its parent's right edge";
  EXPECT_LE(place.top + place.bottom, parent.bottom) << "past its parent's bottom edge";
}

void ExpectColumns(HWND list, const std::vector<ListColumn>& columns) {
  HWND header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
  ASSERT_EQ(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), static_cast<LRESULT>(columns.size()));
  for (std::size_t k = 0; k < columns.size(); ++k) {
    wchar_t title[32] = {};
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = title;
    column.cchTextMax = 32;
    ::SendMessageW(list, LVM_GETCOLUMNW, k, reinterpret_cast<LPARAM>(&column));
    EXPECT_EQ(Utf8(title), columns[k].title);
    EXPECT_EQ(column.cx, columns[k].width);
    EXPECT_LT(TextSize(title, FontIn(header)).cx, column.cx) << "title cut";
  }
}

bool ShowsTheHand(HWND window, HWND control) {
  ::SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(control), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  return ::GetCursor() == ::LoadCursorW(nullptr, IDC_HAND);
}

// Whether a person can change what the control holds, where it holds text.
bool Editable(HWND control) {
  const bool holdsText = (::SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) != 0;
  return holdsText && (::GetWindowLongPtrW(control, GWL_STYLE) & ES_READONLY) == 0;
}

// Whether Enter presses the button.
bool AnswersEnter(HWND control) { return (::SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON) != 0; }

// A picture, a line and a document keep no font of their own.
bool ShowsItsText(ControlKind kind) {
  return kind != ControlKind::Picture && kind != ControlKind::Line && kind != ControlKind::RichText;
}

// A group box's frame is a control of its own, behind the controls in the box.
bool FrameIsBehind(HWND box) {
  HWND last = ::GetWindow(::GetWindow(box, GW_CHILD), GW_HWNDLAST);
  return (::GetWindowLongPtrW(last, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

// The design given is the one scaled for the density the window is laid out for.
void ExpectControl(HWND window, const WindowDesign& design, const ControlDesign& control, const TextsOnShow& texts,
                   int dpi) {
  SCOPED_TRACE(control.name);
  HWND drawn = Find(window, design, control.name);
  EXPECT_EQ(::GetParent(drawn), control.parent.empty() ? window : Find(window, design, control.parent));
  ExpectPlace(drawn, control, FontOf(design, control));
  if (control.kind != ControlKind::Picture) ExpectInsideParent(drawn);  // the picture reaches past the edge
  const auto changed = texts.find(control.name);
  EXPECT_EQ(Text(drawn), changed != texts.end() ? changed->second : WideForDisplay(control.text));
  if (ShowsItsText(control.kind)) ExpectFont(drawn, FontOf(design, control));
  ExpectTextFits(drawn, control, dpi);
  if (design.whiteBackground) {
    EXPECT_EQ(TextColourOf(window, drawn) == RGB(0, 0, 255), control.colour == TextColour::Blue);
  }
  EXPECT_FALSE(Editable(drawn)) << "every text a window shows is read-only";
  EXPECT_EQ(AnswersEnter(drawn), control.kind == ControlKind::DefaultButton);
  if (control.kind == ControlKind::Link) {
    EXPECT_TRUE(ShowsTheHand(window, drawn));
  }
  if (control.kind == ControlKind::ReportList) ExpectColumns(drawn, control.columns);
  if (control.kind == ControlKind::GroupBox) {
    EXPECT_TRUE(FrameIsBehind(drawn));
  }
}

// Among siblings, the first child is the one in front.
void ExpectStacking(HWND window, const WindowDesign& design) {
  std::map<HWND, std::vector<std::string>> frontToBack, drawn;
  for (const ControlDesign& control : design.controls) {
    frontToBack[::GetParent(Find(window, design, control.name))].push_back(control.name);
  }
  for (const auto& [parent, names] : frontToBack) {
    for (HWND child = ::GetWindow(parent, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
      for (const std::string& name : names) {
        if (child == Find(window, design, name)) drawn[parent].push_back(name);
      }
    }
  }
  EXPECT_EQ(drawn, frontToBack);
}

// Whether a person could put the focus on the control: any but the static texts, pictures and
// lines, and the group boxes, which hold controls of their own.
bool CanTakeFocus(HWND control) {
  wchar_t windowClass[32] = {};
  ::GetClassNameW(control, windowClass, 32);
  const bool holdsControls = (::GetWindowLongPtrW(control, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) != 0;
  return ::lstrcmpiW(windowClass, L"Static") != 0 && !holdsControls;
}

// Tab goes through every control that can take the focus, in the design's order, and around again.
void ExpectTabOrder(HWND window, const WindowDesign& design) {
  std::vector<HWND> expected;
  for (const ControlDesign& control : design.controls) {
    HWND drawn = Find(window, design, control.name);
    if (CanTakeFocus(drawn)) expected.push_back(drawn);
  }
  expected.push_back(expected.front());
  std::vector<HWND> order{expected.front()};
  while (order.size() < expected.size()) order.push_back(::GetNextDlgTabItem(window, order.back(), FALSE));
  EXPECT_EQ(order, expected);
}

void ExpectLaidOut(HWND window, const WindowDesign& design, int dpi, const TextsOnShow& texts) {
  SCOPED_TRACE("at " + std::to_string(dpi) + " dots per inch");
  const WindowDesign scaled = ScaledDesign(design, dpi);
  for (const ControlDesign& control : scaled.controls) ExpectControl(window, scaled, control, texts, dpi);
}

void ExpectClientSize(HWND window, const WindowDesign& design, int dpi) {
  const SIZE client = ClientSize(window);
  EXPECT_EQ(client.cx, ScaledLength(design.client.width, dpi));
  EXPECT_EQ(client.cy, ScaledLength(design.client.height, dpi));
}

// What the system sends a window moved to a screen of that density: the window's place there,
// its frame included, as the system suggests it.
RECT MoveToDensity(HWND window, const WindowDesign& design, int dpi) {
  RECT now{};
  ::GetWindowRect(window, &now);
  const SIZE size = WindowSizeFor(ClientSizeAt(design, dpi), static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE)),
                                  static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_EXSTYLE)), dpi);
  RECT suggested{now.left + 10, now.top + 20, now.left + 10 + size.cx, now.top + 20 + size.cy};
  ::SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
  return suggested;
}

// At the screen's density, then at another one and back, as when the window is dragged to a
// screen scaled otherwise and back again. Wine draws every frame at the desktop's density, so the
// client size is only measured at that one.
void ExpectDrawn(HWND window, const WindowDesign& design, const TextsOnShow& texts = {}) {
  SCOPED_TRACE(design.name);
  const int dpi = WindowDpi(window);
  EXPECT_EQ(Text(window), WideForDisplay(design.caption));
  ExpectClientSize(window, design, dpi);
  EXPECT_FALSE(::GetWindowLongPtrW(window, GWL_STYLE) & (WS_MAXIMIZEBOX | WS_THICKFRAME)) << "a fixed border";
  ExpectLaidOut(window, design, dpi, texts);
  ExpectStacking(window, design);
  ExpectTabOrder(window, design);

  const int other = dpi == 144 ? 192 : 144;
  const RECT suggested = MoveToDensity(window, design, other);
  ExpectLaidOut(window, design, other, texts);
  RECT moved{};
  ::GetWindowRect(window, &moved);
  EXPECT_EQ(moved.left, suggested.left) << "where the system suggests";
  EXPECT_EQ(moved.top, suggested.top) << "where the system suggests";
  MoveToDensity(window, design, dpi);
  ExpectLaidOut(window, design, dpi, texts);
  ExpectClientSize(window, design, dpi);
}

// Each dialog starts with the focus on its first control.
void ExpectDrawnDialog(HWND dialog, const WindowDesign& design, const TextsOnShow& texts = {}) {
  ExpectDrawn(dialog, design, texts);
  EXPECT_FALSE(::GetWindowLongPtrW(dialog, GWL_STYLE) & WS_MINIMIZEBOX) << design.name;
  EXPECT_EQ(::GetFocus(), ::GetNextDlgTabItem(dialog, nullptr, FALSE)) << design.name;
}

using WindowDesigns = WindowTest;

TEST_F(WindowDesigns, EachWindowIsDrawnAsItsDesignSays) {
  TfrmMain frmMain;
  frmMain.Show();
  ExpectDrawn(frmMain.Handle(), MainWindowDesign());

  TfrmProcessing frmProcessing(frmMain);
  WithModal([&] { frmProcessing.ShowModal(frmMain.Handle()); },
            [](HWND dialog) {
              // A run over no file is over as soon as its worker has said so.
              ASSERT_TRUE(PumpUntil([&] { return Text(Find(dialog, ProcessingDialogDesign(), "Button1")) == L"Close"; }));
              ExpectDrawnDialog(dialog, ProcessingDialogDesign(), {{"Button1", L"Close"}, {"Label41", L"0 files"}});
            });
  TfrmShowDoc frmShowDoc;
  frmShowDoc.DocFile = "tailmend-no-such-document.rtf";
  WithModal([&] { frmShowDoc.ShowModal(frmMain.Handle()); },
            [](HWND dialog) {
              ExpectDrawnDialog(dialog, DocumentViewerDesign(), {{"RichEdit1", L"Document file doesn't exist."}});
            });
  TfrmAbout frmAbout;
  WithModal([&] { frmAbout.ShowModal(frmMain.Handle()); },
            [](HWND dialog) { ExpectDrawnDialog(dialog, AboutBoxDesign()); });
  TfrmDetails frmDetails;
  frmDetails.Row.file = "C:\\photos\\IMG_0042.CRW";
  TextsOnShow details;
  for (const auto& [name, text] : DetailTexts(frmDetails.Row)) details[name] = WideForDisplay(text);
  WithModal([&] { frmDetails.ShowModal(frmMain.Handle()); },
            [&](HWND dialog) { ExpectDrawnDialog(dialog, DetailsWindowDesign(), details); });
}

}  // namespace
}  // namespace tailmend::test

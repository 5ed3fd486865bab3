#include "ui/win32/design_drawing.h"

#include <commctrl.h>
#include <richedit.h>

#include <stdexcept>
#include <string>

#include "ui/win32/controls.h"
#include "ui/win32/group_box.h"

namespace tailmend {

namespace {

constexpr COLORREF kBlue = RGB(0, 0, 255);

// The class and styles of the system's control for a kind of the design.
struct NativeControl {
  const wchar_t* windowClass;
  DWORD style;
  DWORD exStyle;
};

// The RichEdit control lives in its own system library, loaded once for the program's life.
void LoadRichEdit() {
  static const HMODULE library = ::LoadLibraryW(L"Msftedit.dll");
  if (library == nullptr) throw std::runtime_error("The rich text control (Msftedit.dll) could not be loaded");
}

// A label of fixed width cuts a long text rather than wrapping it out of sight, unless it is given
// lines to wrap it over.
DWORD LabelStyle(const DesignRect& place) {
  return SS_NOPREFIX | (place.width != 0 && place.height == 0 ? SS_LEFTNOWORDWRAP : SS_LEFT);
}

// A report list's rows are its window's (owner data): the list asks for the texts of the rows it
// shows, and is told only how many there are, so that a run's thousands of rows cost it one count
// each time.
NativeControl NativeFor(const ControlDesign& control) {
  switch (control.kind) {
    case ControlKind::Picture: return {L"STATIC", SS_BITMAP, 0};
    case ControlKind::Label: return {L"STATIC", LabelStyle(control.place), 0};
    case ControlKind::Link: return {L"STATIC", SS_LEFT | SS_NOPREFIX | SS_NOTIFY, 0};
    case ControlKind::ReadOnlyEdit: return {L"EDIT", ES_READONLY | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case ControlKind::Button: return {L"BUTTON", BS_PUSHBUTTON, 0};
    case ControlKind::DefaultButton: return {L"BUTTON", BS_DEFPUSHBUTTON, 0};
    case ControlKind::CheckBox: return {L"BUTTON", BS_AUTOCHECKBOX, 0};
    case ControlKind::ReportList:
      return {WC_LISTVIEWW, LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_OWNERDATA, WS_EX_CLIENTEDGE};
    case ControlKind::Line: return {L"STATIC", SS_ETCHEDHORZ, 0};
    case ControlKind::RichText:
      LoadRichEdit();
      return {MSFTEDIT_CLASS, WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, WS_EX_CLIENTEDGE};
    case ControlKind::Preview: return {L"STATIC", kPreviewTextStyle, 0};
    case ControlKind::GroupBox: break;
  }
  throw std::logic_error("no system control for " + control.name);
}

// A size of 0 is the text's width or one line's height.
RECT PlaceOf(const ControlDesign& control, HFONT font) {
  const DesignRect& place = control.place;
  const int width = place.width != 0 ? place.width : TextSize(WideForDisplay(control.text), font).cx;
  const int height = place.height != 0 ? place.height : TextSize(L"Ag", font).cy;
  return {place.left, place.top, place.left + width, place.top + height};
}

void SetColumnWidths(HWND list, const std::vector<ListColumn>& columns) {
  for (std::size_t index = 0; index < columns.size(); ++index) {
    ::SendMessageW(list, LVM_SETCOLUMNWIDTH, index, MAKELPARAM(columns[index].width, 0));
  }
}

void AddColumns(HWND list, const std::vector<ListColumn>& columns) {
  int index = 0;
  for (const ListColumn& column : columns) {
    std::wstring title = WideForDisplay(column.title);
    LVCOLUMNW added{};
    added.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    added.pszText = title.data();
    added.cx = column.width;
    added.iSubItem = index;
    ::SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index++), reinterpret_cast<LPARAM>(&added));
  }
}

HWND MakeDesignControl(HWND parent, const ControlDesign& control, int id, HFONT font) {
  const RECT place = PlaceOf(control, font);
  const std::wstring text = WideForDisplay(control.text);
  if (control.kind == ControlKind::GroupBox) return MakeGroupBox(parent, id, text, place);
  const NativeControl native = NativeFor(control);
  const DWORD tabStop = TakesFocus(control.kind) ? WS_TABSTOP : 0;
  return MakeControl(parent, native.windowClass, id, text, native.style | tabStop, place, native.exStyle);
}

}  // namespace

void DrawControls(HWND window, const WindowDesign& design, int dpi) {
  const WindowDesign scaled = ScaledDesign(design, dpi);
  int id = kFirstControlId;
  for (const ControlDesign& control : scaled.controls) {
    HWND parent = control.parent.empty() ? window : DesignControl(window, scaled, control.parent);
    HFONT font = DesignedFont(FontOf(scaled, control));
    HWND made = MakeDesignControl(parent, control, id++, font);
    ::SendMessageW(made, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (control.kind == ControlKind::ReportList) AddColumns(made, control.columns);
  }
}

void LayOutControls(HWND window, const WindowDesign& design, int dpi) {
  const WindowDesign scaled = ScaledDesign(design, dpi);
  for (const ControlDesign& control : scaled.controls) {
    HWND drawn = DesignControl(window, scaled, control.name);
    HFONT font = DesignedFont(FontOf(scaled, control));
    ::SendMessageW(drawn, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    const RECT place = PlaceOf(control, font);
    ::SetWindowPos(drawn, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    if (control.kind == ControlKind::ReportList) SetColumnWidths(drawn, control.columns);
  }
}

SIZE ClientSizeAt(const WindowDesign& design, int dpi) {
  return {ScaledLength(design.client.width, dpi), ScaledLength(design.client.height, dpi)};
}

HWND DesignControl(HWND window, const WindowDesign& design, std::string_view name) {
  for (std::size_t index = 0; index < design.controls.size(); ++index) {
    if (design.controls[index].name == name) return FindControl(window, kFirstControlId + static_cast<int>(index));
  }
  return nullptr;
}

const ControlDesign* DesignOf(const WindowDesign& design, int id) {
  const int index = id - kFirstControlId;
  if (index < 0 || index >= static_cast<int>(design.controls.size())) return nullptr;
  return &design.controls[static_cast<std::size_t>(index)];
}

HMENU MakePopupMenu(const MenuDesign& design) {
  HMENU menu = ::CreatePopupMenu();
  if (menu == nullptr) throw std::runtime_error("The menu could not be made");
  int id = kFirstMenuItemId;
  for (const MenuItemDesign& item : design.items) {
    ::AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(id++), WideForDisplay(item.text).c_str());
  }
  return menu;
}

const MenuItemDesign* MenuItemOf(const MenuDesign& design, int id) {
  const int index = id - kFirstMenuItemId;
  if (index < 0 || index >= static_cast<int>(design.items.size())) return nullptr;
  return &design.items[static_cast<std::size_t>(index)];
}

HBRUSH DesignColours(const WindowDesign& design, HWND control, HDC dc) {
  if (!design.whiteBackground) return nullptr;
  ::SetBkColor(dc, RGB(255, 255, 255));
  const ControlDesign* drawn = DesignOf(design, ::GetDlgCtrlID(control));
  if (drawn != nullptr && drawn->colour == TextColour::Blue) ::SetTextColor(dc, kBlue);
  return WhiteBrush();
}

}  // namespace tailmend

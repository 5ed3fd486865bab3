// The main window's event list: its rows' cells, state icons and tips, the details of a row, and
// the list's menu.
#include <windows.h>
#include <commctrl.h>
#include <windowsx.h>

#include <stdexcept>

#include "platform/extended_path_win32.h"
#include "platform/system_error_text.h"
#include "platform/wide_text_win32.h"
#include "ui/behaviour/csv_report.h"
#include "ui/behaviour/file_explanation.h"
#include "ui/behaviour/main_window.h"
#include "ui/behaviour/window_designs.h"
#include "ui/win32/controls.h"
#include "ui/win32/design_drawing.h"
#include "ui/win32/desktop_services.h"
#include "ui/win32/details.h"
#include "ui/win32/error_guard.h"
#include "ui/win32/main.h"
#include "ui/win32/state_icons.h"

namespace tailmend {

namespace {

// The text of one cell of the event list, as the list asks for it.
std::string CellText(const std::vector<EventRow>& rows, std::size_t row, int column) {
  switch (column) {
    case 0: return EventRowNumber(row);
    case 1: return rows[row].file;
    default: return std::string(EventText(rows[row].result.event));
  }
}

// Copies a text into a buffer the list gave, cut to its room.
void CopyInto(const std::wstring& text, wchar_t* buffer, int room) {
  if (buffer == nullptr || room <= 0) return;
  buffer[text.copy(buffer, static_cast<std::size_t>(room) - 1)] = L'\0';
}

// The whole report, or an error that names the file and the system's reason.
void WriteReport(const std::wstring& path, const std::string& report) {
  HANDLE file = ::CreateFileW(ExtendedPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  const bool whole = file != INVALID_HANDLE_VALUE &&
                     ::WriteFile(file, report.data(), static_cast<DWORD>(report.size()), &written, nullptr) &&
                     written == report.size();
  const DWORD code = whole ? 0 : ::GetLastError();
  if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
  if (!whole) {
    throw std::runtime_error("Cannot write the report \"" + Utf8FromWide(path) + "\". " +
                             SystemMessage(static_cast<int>(code)));
  }
}

}  // namespace

// The icons are the window's, made again for each density the window is laid out for. The list's
// mouse moves are watched for the tip of the row under the mouse.
void TfrmMain::SetUpEventList(int dpi) {
  HWND list = Item("ListView1");
  ::SetWindowLongPtrW(list, GWL_STYLE, ::GetWindowLongPtrW(list, GWL_STYLE) | LVS_SHAREIMAGELISTS);
  ::SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  HIMAGELIST icons = MakeStateImageList(dpi);
  ::SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(icons));
  if (stateIcons_ != nullptr) ::ImageList_Destroy(stateIcons_);
  stateIcons_ = icons;
  if (rowTip_) return;
  rowTip_ = std::make_unique<Tooltip>(list);
  ::SetWindowSubclass(list, EventListProcedure, 0, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK TfrmMain::EventListProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                              DWORD_PTR window) {
  if (message == WM_MOUSEMOVE) {
    auto* self = reinterpret_cast<TfrmMain*>(window);
    RunGuarded(self->handle_, [self, lParam] {
      self->ListView1MouseMove({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    });
  }
  return ::DefSubclassProc(list, message, wParam, lParam);
}

// The tip says the path and sentence of the row under the mouse, and nothing elsewhere.
void TfrmMain::ListView1MouseMove(POINT at) {
  LVHITTESTINFO hit{};
  hit.pt = at;
  const auto row = static_cast<int>(::SendMessageW(Item("ListView1"), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  if (row == tippedRow_) return;
  tippedRow_ = row;
  const bool onRow = row >= 0 && static_cast<std::size_t>(row) < eventRows_.size();
  const EventRow* shown = onRow ? &eventRows_[static_cast<std::size_t>(row)] : nullptr;
  rowTip_->SetText(shown != nullptr ? WideForDisplay(FileTooltip(shown->file, shown->result, shown->failure)) : L"");
}

void TfrmMain::EventListNotified(NMHDR& notice) {
  const ControlDesign* from = DesignOf(MainWindowDesign(), static_cast<int>(notice.idFrom));
  if (from == nullptr || from->name != "ListView1") return;
  switch (notice.code) {
    case LVN_GETDISPINFOW: return ShowCell(reinterpret_cast<NMLVDISPINFOW&>(notice));
    case NM_DBLCLK: return RunGuarded(handle_, [this] { Details1Click(); });
    default: return;
  }
}

// The rows a run has reported since it last looked: the list learns their count, the last in sight.
void TfrmMain::AddEventRows(const std::vector<EventRow>& rows) {
  if (rows.empty()) return;
  eventRows_.insert(eventRows_.end(), rows.begin(), rows.end());
  HWND list = Item("ListView1");
  if (::SendMessageW(list, LVM_SETITEMCOUNT, eventRows_.size(), LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL) == 0) {
    throw std::runtime_error("The event list could not take more rows");
  }
  ::SendMessageW(list, LVM_ENSUREVISIBLE, eventRows_.size() - 1, FALSE);
}

// The list asks for the texts of the rows it shows, and for the icon before each number.
void TfrmMain::ShowCell(NMLVDISPINFOW& asked) const {
  const auto row = static_cast<std::size_t>(asked.item.iItem);
  if (row >= eventRows_.size()) return;
  const EventRow& shown = eventRows_[row];
  if ((asked.item.mask & LVIF_IMAGE) != 0 && asked.item.iSubItem == 0) {
    asked.item.iImage = static_cast<int>(StateOf(shown.result, shown.failure));
  }
  if ((asked.item.mask & LVIF_TEXT) != 0) {
    CopyInto(WideForDisplay(CellText(eventRows_, row, asked.item.iSubItem)), asked.item.pszText, asked.item.cchTextMax);
  }
}

const EventRow* TfrmMain::ChosenRow() const {
  const auto index = ::SendMessageW(Item("ListView1"), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
  if (index < 0 || static_cast<std::size_t>(index) >= eventRows_.size()) return nullptr;
  return &eventRows_[static_cast<std::size_t>(index)];
}

// From the keyboard (no place given) the menu stands at the chosen row, or at the list's corner.
void TfrmMain::ListView1ContextPopup(POINT at) {
  HWND list = Item("ListView1");
  if (at.x == -1 && at.y == -1) {
    RECT place{LVIR_LABEL, 0, 0, 0};
    const auto chosen = ::SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
    if (chosen < 0 ||
        ::SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(chosen), reinterpret_cast<LPARAM>(&place)) == 0) {
      place = {};
    }
    at = {place.left, place.bottom};
    ::ClientToScreen(list, &at);
  }
  HMENU menu = MakePopupMenu(EventListMenuDesign());
  const std::vector<MenuItemDesign>& items = EventListMenuDesign().items;
  for (std::size_t k = 0; k < items.size(); ++k) {
    const bool enabled = EventListMenuItemEnabled(items[k].name, ChosenRow() != nullptr, eventRows_.size());
    ::EnableMenuItem(menu, static_cast<UINT>(kFirstMenuItemId + k), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
  }
  ::TrackPopupMenu(menu, TPM_RIGHTBUTTON, at.x, at.y, 0, handle_, nullptr);
  ::DestroyMenu(menu);
}

void TfrmMain::MenuItemClick(std::string_view item) {
  if (item == "Details1") Details1Click();
  if (item == "ShowinFolder1") ShowinFolder1Click();
  if (item == "CopyPath1") CopyPath1Click();
  if (item == "SaveReport1") SaveReport1Click();
}

void TfrmMain::Details1Click() {
  const EventRow* row = ChosenRow();
  if (row == nullptr) return;
  TfrmDetails frmDetails;
  frmDetails.Row = *row;
  frmDetails.ShowModal(handle_);
}

void TfrmMain::ShowinFolder1Click() {
  if (const EventRow* row = ChosenRow()) CurrentServices().showInFolder(WideForDisplay(row->file));
}

void TfrmMain::CopyPath1Click() {
  if (const EventRow* row = ChosenRow()) CurrentServices().copyText(handle_, WideForDisplay(row->file));
}

void TfrmMain::SaveReport1Click() {
  const std::wstring path = CurrentServices().chooseReportFile(handle_);
  if (!path.empty()) WriteReport(path, CsvReport(eventRows_));
}

}  // namespace tailmend

#include "ui/win32/main.h"

#include <commctrl.h>

#include <stdexcept>

#include "platform/wide_text_win32.h"
#include "ui/behaviour/main_window.h"
#include "ui/behaviour/product.h"
#include "ui/win32/about.h"
#include "ui/win32/controls.h"
#include "ui/win32/doc.h"
#include "ui/win32/error_box.h"
#include "ui/win32/file_open_dialog.h"
#include "ui/win32/group_box.h"
#include "ui/win32/process.h"
#include "ui/win32/web_opener.h"
#include "ui/win32/wic_picture.h"

namespace tailmend {

namespace {

const wchar_t* const kClassName = L"TfrmMain";
// The icon's name in the program's resources.
const wchar_t* const kIconName = L"IDI_ICON1";
constexpr SIZE kClientSize{499, 333};
constexpr POINT kPicturePlace{246, 88};
// A fixed single border with the system menu and the minimise box, no maximise box.
constexpr DWORD kMainWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

struct Column {
  const wchar_t* title;
  int width;
};
constexpr Column kColumns[] = {{L"No.", 32}, {L"File", 80}, {L"Event", 100}};

void RegisterOnce(WNDPROC procedure) {
  static const ATOM registered = [procedure] {
    WNDCLASSEXW type{};
    type.cbSize = sizeof type;
    type.lpfnWndProc = procedure;
    type.hInstance = ::GetModuleHandleW(nullptr);
    type.hIcon = ::LoadIconW(type.hInstance, kIconName);
    type.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    type.hbrBackground = WhiteBrush();
    type.lpszClassName = kClassName;
    return ::RegisterClassExW(&type);
  }();
  if (registered == 0) throw std::runtime_error("The main window's class could not be registered");
}

void SetCellText(HWND list, int row, int column, const std::string& text) {
  std::wstring wide = WideForDisplay(text);
  LVITEMW cell{};
  cell.iSubItem = column;
  cell.pszText = wide.data();
  ::SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
}

}  // namespace

TfrmMain::TfrmMain() {
  RegisterOnce(Procedure);
  const SIZE size = WindowSizeFor(kClientSize, kMainWindowStyle, 0);
  ::CreateWindowExW(0, kClassName, WideForDisplay(kProgramTitle).c_str(), kMainWindowStyle, CW_USEDEFAULT,
                    CW_USEDEFAULT, size.cx, size.cy, nullptr, nullptr, ::GetModuleHandleW(nullptr), this);
  if (handle_ == nullptr) throw std::runtime_error("The main window could not be created");
  CreateControls();
  RunGuarded(handle_, [this] { FormCreate(); });
  PlaceCentred(handle_, kClientSize);
}

TfrmMain::~TfrmMain() {
  ::DestroyWindow(handle_);
  if (picture_ != nullptr) ::DeleteObject(picture_);
}

void TfrmMain::Show() {
  ::ShowWindow(handle_, SW_SHOW);
  ::UpdateWindow(handle_);
}

void TfrmMain::CreateControls() {
  // Created in tab order: among siblings, the order of creation is the order of Tab.
  HWND main = MakeGroupBox(handle_, GroupBox1, L"  Main ", Place(16, 16, 283, 298));
  MakeLabel(main, Label1, L"Source Files:", {16, 24});
  MakeControl(main, L"EDIT", Edit1, L"", WS_TABSTOP | ES_READONLY | ES_AUTOHSCROLL, Place(16, 45, 249, 21),
              WS_EX_CLIENTEDGE);
  MakeButton(main, Button1, L"Browse", Place(190, 76, 75, 25));
  MakeButton(main, Button7, L"Fix Now", Place(16, 107, 249, 25));
  MakeButton(main, CheckBox1, L"Backup Source Files", Place(16, 80, 168, 17), BS_AUTOCHECKBOX);
  CreateEventList(main);

  HWND documents = MakeGroupBox(handle_, GroupBox3, L" Documents ", Place(320, 16, 163, 129));
  MakeButton(documents, Button4, L"What's this?", Place(32, 24, 99, 25));
  MakeButton(documents, Button5, L"How To...", Place(32, 76, 99, 25));

  MakeButton(handle_, Button3, L"About", Place(352, 184, 99, 25));
  MakeButton(handle_, Button6, L"Close", Place(352, 264, 99, 25));
  MakeButton(handle_, Button8, L"Data Recovery", Place(352, 223, 99, 25));
  CreatePicture();
}

void TfrmMain::CreateEventList(HWND groupBox) {
  HWND list = MakeControl(groupBox, WC_LISTVIEWW, ListView1, L"", WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL |
                                                                       LVS_SHOWSELALWAYS,
                          Place(16, 151, 249, 130), WS_EX_CLIENTEDGE);
  int index = 0;
  for (const Column& column : kColumns) {
    LVCOLUMNW added{};
    added.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    added.pszText = const_cast<wchar_t*>(column.title);
    added.cx = column.width;
    added.iSubItem = index;
    ::SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index++), reinterpret_cast<LPARAM>(&added));
  }
}

// The picture control takes the size of its picture and lies behind every other control: it
// reaches past the window's right edge and partly under the group boxes and the buttons. A new
// control goes behind its siblings, so the picture is made last.
void TfrmMain::CreatePicture() {
  picture_ = MakeBitmap(DecodeJpeg(MainPictureBytes()));
  HWND image = MakeControl(handle_, L"STATIC", Image1, L"", SS_BITMAP, Place(kPicturePlace.x, kPicturePlace.y, 0, 0));
  ::SendMessageW(image, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture_));
}

LRESULT CALLBACK TfrmMain::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* created = reinterpret_cast<TfrmMain*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
    created->handle_ = window;
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
  }
  auto* self = reinterpret_cast<TfrmMain*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
  return self->Handle(message, wParam, lParam);
}

LRESULT TfrmMain::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      // Enter and Escape arrive as OK and Cancel from no control: the main window has neither.
      if (HIWORD(wParam) == BN_CLICKED && lParam != 0) {
        const int control = LOWORD(wParam);
        RunGuarded(handle_, [this, control] { Click(control); });
      }
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      ::SetBkColor(reinterpret_cast<HDC>(wParam), RGB(255, 255, 255));
      return reinterpret_cast<LRESULT>(WhiteBrush());
    case WM_CLOSE:
      // Closing the main window ends the program.
      RunGuarded(handle_, [this] { FormClose(); });
      ::ShowWindow(handle_, SW_HIDE);
      ::PostQuitMessage(0);
      return 0;
    default:
      return ::DefWindowProcW(handle_, message, wParam, lParam);
  }
}

void TfrmMain::Click(int control) {
  switch (control) {
    case Button1: Button1Click(); break;
    case Button7: Button7Click(); break;
    case Button4:
    case Button5: Button4Click(control); break;
    case Button3: Button3Click(); break;
    case Button8: Button8Click(); break;
    case Button6: Button6Click(); break;
    default: break;
  }
}

HWND TfrmMain::Item(int control) const { return FindControl(handle_, control); }

void TfrmMain::AddEventRow(const std::string& file, const std::string& event) {
  HWND list = Item(ListView1);
  const auto row = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  std::wstring number = WideForDisplay(EventRowNumber(static_cast<std::size_t>(row)));
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = row;
  item.pszText = number.data();
  const auto added = static_cast<int>(::SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  if (added < 0) throw std::runtime_error("The event list could not take another row");
  SetCellText(list, added, 1, file);
  SetCellText(list, added, 2, event);
}

bool TfrmMain::BackupRequested() const {
  return ::SendMessageW(Item(CheckBox1), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TfrmMain::FormCreate() { FileList.clear(); }

void TfrmMain::FormClose() { tailmend::FileList().swap(FileList); }

void TfrmMain::Button1Click() {
  const std::vector<std::wstring> chosen = ChooseCrwFiles(handle_);
  if (chosen.empty()) return;
  tailmend::FileList files;
  for (const std::wstring& path : chosen) files.push_back(Utf8FromWide(path));
  FileList = std::move(files);
  ::SetWindowTextW(Item(Edit1), WideForDisplay(SelectionText(FileList)).c_str());
}

void TfrmMain::Button7Click() {
  TfrmProcessing frmProcessing(*this);
  frmProcessing.ShowModal(handle_);
}

void TfrmMain::Button4Click(int Sender) {
  const HelpDocument document = HelpDocumentFor(Sender == Button4);
  TfrmShowDoc frmShowDoc;
  frmShowDoc.SetCaption(WideForDisplay(document.caption));
  frmShowDoc.DocFile = document.docFile;
  frmShowDoc.ShowModal(handle_);
}

void TfrmMain::Button3Click() {
  TfrmAbout frmAbout;
  frmAbout.ShowModal(handle_);
}

void TfrmMain::Button8Click() { OpenWebPage(WideForDisplay(kDataRecoverySite)); }

// The message loop ends and with it the program.
void TfrmMain::Button6Click() { ::PostQuitMessage(0); }

int RunMessageLoop(HWND mainWindow) {
  MSG message{};
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (::IsDialogMessageW(mainWindow, &message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace tailmend

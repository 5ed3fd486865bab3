#include "ui/win32/main.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <stdexcept>
#include <utility>

#include "platform/wide_text_win32.h"
#include "ui/behaviour/desktop_files.h"
#include "ui/behaviour/main_window.h"
#include "ui/behaviour/product.h"
#include "ui/behaviour/scoped_replacement.h"
#include "ui/behaviour/window_designs.h"
#include "ui/win32/about.h"
#include "ui/win32/controls.h"
#include "ui/win32/design_drawing.h"
#include "ui/win32/desktop_services.h"
#include "ui/win32/doc.h"
#include "ui/win32/error_guard.h"
#include "ui/win32/process.h"
#include "ui/win32/wic_picture.h"

namespace tailmend {

namespace {

const wchar_t* const kClassName = L"TfrmMain";
// The icon's name in the program's resources.
const wchar_t* const kIconName = L"IDI_ICON1";
// A fixed single border with the system menu and the minimise box, no maximise box.
constexpr DWORD kMainWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
// Explorer drops files only onto windows that say they take them.
constexpr DWORD kMainWindowExStyle = WS_EX_ACCEPTFILES;
// Posted to itself by a window that has been handed files, to take them once it has answered.
constexpr UINT kTakeHandedFiles = WM_APP + 1;

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

// The names a drop carries, in UTF-16 whatever the code page, as the engine's UTF-8.
std::vector<std::string> DroppedPaths(HDROP drop) {
  std::vector<std::string> paths;
  const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT k = 0; k < count; ++k) {
    std::wstring path(::DragQueryFileW(drop, k, nullptr, 0), L'\0');
    ::DragQueryFileW(drop, k, path.data(), static_cast<UINT>(path.size() + 1));
    paths.push_back(Utf8FromWide(path));
  }
  return paths;
}

}  // namespace

TfrmMain::TfrmMain() {
  RegisterOnce(Procedure);
  // Created at the design's size, then sized for the screen it turned out to be on.
  const SIZE size =
      WindowSizeFor(ClientSizeAt(MainWindowDesign(), kDesignDpi), kMainWindowStyle, kMainWindowExStyle, kDesignDpi);
  ::CreateWindowExW(kMainWindowExStyle, kClassName, WideForDisplay(MainWindowDesign().caption).c_str(),
                    kMainWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT, size.cx, size.cy, nullptr, nullptr, ::GetModuleHandleW(nullptr),
                    this);
  if (handle_ == nullptr) throw std::runtime_error("The main window could not be created");
  const int dpi = WindowDpi(handle_);
  DrawControls(handle_, MainWindowDesign(), dpi);
  SetUpEventList(dpi);
  selectionTip_ = std::make_unique<Tooltip>(Item("Edit1"));
  picture_ = DecodeJpeg(MainPictureBytes());
  ShowPicture(dpi);
  RunGuarded(handle_, [this] { FormCreate(); });
  PlaceCentred(handle_, ClientSizeAt(MainWindowDesign(), dpi), dpi);
}

TfrmMain::~TfrmMain() {
  gathering_.Stop();
  ::DestroyWindow(handle_);
  if (bitmap_ != nullptr) ::DeleteObject(bitmap_);
  if (stateIcons_ != nullptr) ::ImageList_Destroy(stateIcons_);
}

void TfrmMain::Show() {
  ::ShowWindow(handle_, SW_SHOW);
  ::UpdateWindow(handle_);
}

// The picture control takes the size of its picture, drawn at the design's size for the screen.
void TfrmMain::ShowPicture(int dpi) {
  const DesignRect& place = ControlNamed(MainWindowDesign(), "Image1").place;
  HBITMAP shown = MakeBitmap(picture_, {ScaledLength(place.width, dpi), ScaledLength(place.height, dpi)});
  ::SendMessageW(Item("Image1"), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(shown));
  if (bitmap_ != nullptr) ::DeleteObject(bitmap_);
  bitmap_ = shown;
}

// Moved to a screen of another density, or that screen's scaling changed: the window is laid out
// again for it, where the system suggests.
void TfrmMain::DpiChanged(int dpi, const RECT& suggested) {
  LayOutControls(handle_, MainWindowDesign(), dpi);
  SetUpEventList(dpi);
  ShowPicture(dpi);
  PlaceAt(handle_, {suggested.left, suggested.top}, ClientSizeAt(MainWindowDesign(), dpi), dpi);
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
      // Enter and Escape arrive as OK and Cancel from no control: the main window has neither, but
      // Enter on the event list opens the chosen row's details.
      if (HIWORD(wParam) == BN_CLICKED && lParam != 0) {
        if (const ControlDesign* control = DesignOf(MainWindowDesign(), LOWORD(wParam))) {
          RunGuarded(handle_, [this, control] { Click(control->name); });
        }
      } else if (const MenuItemDesign* item = MenuItemOf(EventListMenuDesign(), LOWORD(wParam))) {
        RunGuarded(handle_, [this, item] { MenuItemClick(item->name); });
      } else if (LOWORD(wParam) == IDOK && ::GetFocus() == Item("ListView1")) {
        RunGuarded(handle_, [this] { Details1Click(); });
      }
      return 0;
    case WM_CONTEXTMENU:
      if (reinterpret_cast<HWND>(wParam) != Item("ListView1"))
        return ::DefWindowProcW(handle_, message, wParam, lParam);
      RunGuarded(handle_, [this, lParam] { ListView1ContextPopup({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}); });
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      if (HBRUSH brush = DesignColours(MainWindowDesign(), reinterpret_cast<HWND>(lParam),
                                       reinterpret_cast<HDC>(wParam))) {
        return reinterpret_cast<LRESULT>(brush);
      }
      return ::DefWindowProcW(handle_, message, wParam, lParam);
    case WM_NOTIFY: EventListNotified(*reinterpret_cast<NMHDR*>(lParam)); return 0;
    case WM_DROPFILES:
      FilesDropped(reinterpret_cast<HDROP>(wParam));
      return 0;
    case WM_COPYDATA: {
      // The sender names itself by a window of its own.
      const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      return FilesHandedOver(reinterpret_cast<HWND>(wParam), *data) ? TRUE : FALSE;
    }
    case kTakeHandedFiles:
      RunGuarded(handle_, [this] { TakeHandedFiles(); });
      return 0;
    case WM_DPICHANGED:
      RunGuarded(handle_, [this, wParam, lParam] {
        DpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      });
      return 0;
    case WM_CLOSE:
      // Closing the main window ends the program.
      if (!FormCloseQuery()) return 0;
      gathering_.Stop();
      RunGuarded(handle_, [this] { FormClose(); });
      ::ShowWindow(handle_, SW_HIDE);
      ::PostQuitMessage(0);
      return 0;
    default:
      return ::DefWindowProcW(handle_, message, wParam, lParam);
  }
}

void TfrmMain::Click(std::string_view control) {
  if (control == "Button1") Button1Click();
  if (control == "Button7") Button7Click();
  if (control == "Button4" || control == "Button5") Button4Click(control);
  if (control == "Button3") Button3Click();
  if (control == "Button8") Button8Click();
  if (control == "Button6") Button6Click();
}

HWND TfrmMain::Item(std::string_view control) const { return DesignControl(handle_, MainWindowDesign(), control); }

// The drop is the window's to release, whatever happens to its files.
void TfrmMain::FilesDropped(HDROP drop) {
  gathering_.Stop();
  RunGuarded(handle_, [this, drop] { TakeDesktopFiles(DroppedPaths(drop)); });
  ::DragFinish(drop);
}

void TfrmMain::TakeDesktopFiles(const std::vector<std::string>& paths) { ShowTaken(FilesFromDesktop(paths)); }

void TfrmMain::StartGathering() { gathering_.Start(handle_, ::GetTickCount()); }

bool TfrmMain::FilesHandedOver(HWND sender, const COPYDATASTRUCT& data) {
  std::optional<std::vector<std::string>> paths = gathering_.Take(sender, data, ::GetTickCount());
  if (!paths) return false;
  const std::size_t before = handedPaths_.size();
  handedPaths_.insert(handedPaths_.end(), paths->begin(), paths->end());
  if (::PostMessageW(handle_, kTakeHandedFiles, 0, 0) != 0) return true;
  handedPaths_.resize(before);
  return false;
}

// Several parts may have come before the first of their messages: the first takes them all.
void TfrmMain::TakeHandedFiles() {
  const std::vector<std::string> paths = std::exchange(handedPaths_, {});
  if (!paths.empty()) ShowTaken(MoreFilesFromDesktop(FileList, paths));
}

void TfrmMain::ShowTaken(DesktopFiles taken) {
  if (!taken.files.empty()) ReplaceSelection(std::move(taken.files));
  if (!taken.problems.empty()) ShowErrorBox(handle_, taken.problems);
}

bool TfrmMain::BackupRequested() const {
  return ::SendMessageW(Item("CheckBox1"), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TfrmMain::FormCreate() { FileList.clear(); }

void TfrmMain::FormClose() { tailmend::FileList().swap(FileList); }

void TfrmMain::Button1Click() {
  gathering_.Stop();
  const std::vector<std::wstring> chosen = CurrentServices().chooseCrwFiles(handle_);
  if (chosen.empty()) return;
  tailmend::FileList files;
  for (const std::wstring& path : chosen) files.push_back(Utf8FromWide(path));
  ReplaceSelection(std::move(files));
}

void TfrmMain::ReplaceSelection(tailmend::FileList files) {
  FileList = std::move(files);
  ::SetWindowTextW(Item("Edit1"), WideForDisplay(SelectionText(FileList)).c_str());
  selectionTip_->SetText(WideForDisplay(SelectionTooltip(FileList)));
}

void TfrmMain::Button7Click() {
  gathering_.Stop();
  const ScopedReplacement<bool> running(runOpen_, true);
  TfrmProcessing frmProcessing(*this);
  frmProcessing.ShowModal(handle_);
}

void TfrmMain::Button4Click(std::string_view Sender) {
  const HelpDocument document = HelpDocumentFor(Sender == "Button4");
  TfrmShowDoc frmShowDoc;
  frmShowDoc.SetCaption(WideForDisplay(document.caption));
  frmShowDoc.DocFile = document.docFile;
  frmShowDoc.ShowModal(handle_);
}

void TfrmMain::Button3Click() {
  TfrmAbout frmAbout;
  frmAbout.ShowModal(handle_);
}

void TfrmMain::Button8Click() { CurrentServices().openWebPage(WideForDisplay(kDataRecoverySite)); }

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

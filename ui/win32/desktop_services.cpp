#include "ui/win32/desktop_services.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <utility>

#include "ui/win32/file_open_dialog.h"

namespace tailmend {

namespace {

DesktopServices& Current() {
  static DesktopServices services = SystemServices();
  return services;
}

void ShowMessageBox(HWND owner, const std::wstring& caption, const std::wstring& text) {
  ::MessageBoxW(owner, text.c_str(), caption.c_str(), MB_ICONERROR | MB_OK);
}

// No parent, no parameters, no working folder; the result is not looked at.
void OpenInBrowser(const std::wstring& address) {
  ::ShellExecuteW(nullptr, L"open", address.c_str(), nullptr, nullptr, SW_HIDE);
}

std::vector<std::wstring> ChooseInDialog(HWND owner) { return RunCrwOpenDialog(owner); }

void Nothing(HWND) {}

void OpenFolderAndSelect(const std::wstring& file) {
  std::wstring full(MAX_PATH, L'\0');
  DWORD length = ::GetFullPathNameW(file.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  if (length >= full.size()) {
    full.resize(length);
    length = ::GetFullPathNameW(file.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  }
  full.resize(length < full.size() ? length : 0);
  if (full.empty()) return;
  PIDLIST_ABSOLUTE item = nullptr;
  HRESULT shown = ::SHParseDisplayName(full.c_str(), nullptr, &item, 0, nullptr);
  if (SUCCEEDED(shown)) {
    shown = ::SHOpenFolderAndSelectItems(item, 0, nullptr, 0);
    ::CoTaskMemFree(item);
  }
  if (SUCCEEDED(shown)) return;
  const std::wstring folder = full.substr(0, full.find_last_of(L'\\') + 1);
  ::ShellExecuteW(nullptr, L"open", folder.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

// The clipboard holds its own copy of the text, in memory it then owns.
void CopyToClipboard(HWND owner, const std::wstring& text) {
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL copy = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (copy == nullptr) return;
  std::memcpy(::GlobalLock(copy), text.c_str(), bytes);
  ::GlobalUnlock(copy);
  const bool handed = ::OpenClipboard(owner) && ::EmptyClipboard() && ::SetClipboardData(CF_UNICODETEXT, copy);
  ::CloseClipboard();
  if (!handed) ::GlobalFree(copy);
}

}  // namespace

DesktopServices SystemServices() {
  return {ShowMessageBox,      OpenInBrowser,       ChooseInDialog, Nothing,
          OpenFolderAndSelect, RunReportSaveDialog, CopyToClipboard};
}

const DesktopServices& CurrentServices() { return Current(); }

ScopedServices::ScopedServices(DesktopServices replacement) : ScopedReplacement(Current(), std::move(replacement)) {}

}  // namespace tailmend

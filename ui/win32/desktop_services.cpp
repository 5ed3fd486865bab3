#include "ui/win32/desktop_services.h"

#include <shellapi.h>

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

}  // namespace

DesktopServices SystemServices() { return {ShowMessageBox, OpenInBrowser, ChooseInDialog, Nothing}; }

const DesktopServices& CurrentServices() { return Current(); }

ScopedServices::ScopedServices(DesktopServices replacement) : ScopedReplacement(Current(), std::move(replacement)) {}

}  // namespace tailmend

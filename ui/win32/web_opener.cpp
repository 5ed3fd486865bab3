#include "ui/win32/web_opener.h"

#include <windows.h>
#include <shellapi.h>

#include <utility>

namespace tailmend {

namespace {

WebOpener& CurrentOpener() {
  static WebOpener opener;
  return opener;
}

}  // namespace

void OpenWebPage(const std::wstring& address) {
  if (CurrentOpener()) {
    CurrentOpener()(address);
    return;
  }
  // No parent, no parameters, no working folder; the result is not looked at.
  ::ShellExecuteW(nullptr, L"open", address.c_str(), nullptr, nullptr, SW_HIDE);
}

WebOpener SetWebOpener(WebOpener opener) { return std::exchange(CurrentOpener(), std::move(opener)); }

}  // namespace tailmend

#include "ui/win32/application.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

namespace tailmend {

Application::Application()
    : comInitialised_(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES};
  ::InitCommonControlsEx(&controls);
}

Application::~Application() {
  if (comInitialised_) ::CoUninitialize();
}

}  // namespace tailmend

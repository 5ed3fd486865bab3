#include "ui/win32/about.h"

#include "ui/behaviour/product.h"
#include "ui/behaviour/window_designs.h"
#include "ui/win32/controls.h"
#include "ui/win32/desktop_services.h"

namespace tailmend {

TfrmAbout::TfrmAbout() : ModalDialog(AboutBoxDesign()) {}

void TfrmAbout::Click(std::string_view control) {
  if (control == "Label5") Label5Click();
  if (control == "Button1") Close(IDOK);
}

void TfrmAbout::Label5Click() { CurrentServices().openWebPage(WideForDisplay(kHomePage)); }

}  // namespace tailmend

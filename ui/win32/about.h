#pragma once

#include "ui/win32/modal_dialog.h"

namespace tailmend {

// The About box. Its controls keep the names of the window's design as control identifiers.
class TfrmAbout final : public ModalDialog {
public:
  enum Control : int { Label1 = 100, Label3, Label4, Label5, Button1 };

  TfrmAbout();

private:
  void FormCreate() override;
  void Click(int control) override;
  void ColourText(int control, HDC dc) override;
  bool SetPointer(int control) override;
  void Label5Click();
};

}  // namespace tailmend

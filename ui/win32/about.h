#pragma once

#include "ui/win32/modal_dialog.h"

namespace tailmend {

// The About box, drawn from its design. Its handlers keep the names of the design.
class TfrmAbout final : public ModalDialog {
public:
  TfrmAbout();

private:
  void Click(std::string_view control) override;
  void Label5Click();
};

}  // namespace tailmend

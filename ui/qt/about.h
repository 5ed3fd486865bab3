#pragma once

#include <QDialog>

namespace tailmend {

// The About box, drawn from its design. Its handlers keep the names of the design, and each
// control's objectName is its design name.
class TfrmAbout final : public QDialog {
public:
  TfrmAbout();

private:
  void Label5Click();
};

}  // namespace tailmend

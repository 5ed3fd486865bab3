#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace tailmend {

class ClickLabel;

// The About box. Controls and handlers keep the names of the window's design; each control's
// objectName is its member name.
class TfrmAbout final : public QDialog {
public:
  TfrmAbout();

private:
  void Label5Click();

  QLabel* Label1 = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Label4 = nullptr;
  ClickLabel* Label5 = nullptr;
  QPushButton* Button1 = nullptr;
};

}  // namespace tailmend

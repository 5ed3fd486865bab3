#include "ui/qt/about.h"

#include <QPushButton>

#include "ui/behaviour/product.h"
#include "ui/behaviour/window_designs.h"
#include "ui/qt/click_label.h"
#include "ui/qt/design_drawing.h"
#include "ui/qt/desktop_services.h"
#include "ui/qt/error_guard.h"

namespace tailmend {

TfrmAbout::TfrmAbout() : QDialog(nullptr) {
  DrawWindow(*this, AboutBoxDesign(), kDialogFlags);
  ConnectGuarded(&DesignControl<ClickLabel>(*this, "Label5"), &ClickLabel::clicked, this, [this] { Label5Click(); });
  connect(&DesignControl<QPushButton>(*this, "Button1"), &QPushButton::clicked, this, &QDialog::accept);
}

void TfrmAbout::Label5Click() { CurrentServices().openWebPage(QString::fromLatin1(kHomePage)); }

}  // namespace tailmend

#include "ui/qt/about.h"

#include <QPalette>
#include <QPushButton>

#include "ui/behaviour/product.h"
#include "ui/qt/web_opener.h"
#include "ui/qt/click_label.h"
#include "ui/qt/controls.h"
#include "ui/qt/error_guard.h"

namespace tailmend {

namespace {

constexpr QSize kClientSize(354, 197);
constexpr int kTitlePixels = 21;

void SetTextColour(QLabel& label, const QColor& colour) {
  QPalette palette = label.palette();
  palette.setColor(QPalette::WindowText, colour);
  label.setPalette(palette);
}

}  // namespace

TfrmAbout::TfrmAbout() : QDialog(nullptr) {
  setObjectName(QStringLiteral("frmAbout"));
  SetUpWindow(*this, QStringLiteral("About"), kClientSize, kDialogFlags);
  SetWhiteBackground(*this);

  Label1 = new QLabel(QString::fromLatin1(kProgramTitle), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setFont(TahomaFont(kTitlePixels, true));
  SetTextColour(*Label1, Qt::blue);
  Label1->move(48, 32);
  Label1->adjustSize();

  Label3 = MakeLabel(this, "Label3", QString::fromStdString(AboutVersionText()), {49, 77});
  Label4 = MakeLabel(this, "Label4", QString::fromLatin1(kCopyrightLine), {49, 96});

  Label5 = new ClickLabel(QStringLiteral("Home Page"), this);
  Label5->setObjectName(QStringLiteral("Label5"));
  QFont link = Label5->font();
  link.setUnderline(true);
  Label5->setFont(link);
  SetTextColour(*Label5, Qt::blue);
  Label5->setCursor(Qt::PointingHandCursor);
  Label5->move(48, 144);
  Label5->adjustSize();
  ConnectGuarded(Label5, &ClickLabel::clicked, this, [this] { Label5Click(); });

  Button1 = MakeControl<QPushButton>(this, "Button1", {235, 144, 75, 25});
  Button1->setText(QStringLiteral("OK"));
  connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
  CentreOnScreen(*this);
}

void TfrmAbout::Label5Click() { OpenWebPage(QString::fromLatin1(kHomePage)); }

}  // namespace tailmend

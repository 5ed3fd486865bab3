#include "ui/qt/main.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTreeWidget>

#include "ui/behaviour/main_window.h"
#include "ui/behaviour/product.h"
#include "ui/qt/file_open_dialog.h"
#include "ui/qt/web_opener.h"
#include "ui/qt/about.h"
#include "ui/qt/controls.h"
#include "ui/qt/doc.h"
#include "ui/qt/error_guard.h"
#include "ui/qt/jpeg_picture.h"
#include "ui/qt/process.h"

namespace tailmend {

namespace {

constexpr QSize kClientSize(499, 333);
constexpr QPoint kPicturePlace(246, 88);

constexpr Qt::WindowFlags kMainWindowFlags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                             Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                                             Qt::WindowCloseButtonHint;

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text, const QRect& place) {
  auto* button = MakeControl<QPushButton>(parent, name, place);
  button->setText(text);
  return button;
}

// Group boxes are opaque, as windowed controls are, so the picture behind them is hidden there.
QGroupBox* MakeGroupBox(QWidget* parent, const char* name, const QString& title, const QRect& place) {
  auto* box = MakeControl<QGroupBox>(parent, name, place);
  box->setTitle(title);
  box->setAutoFillBackground(true);
  return box;
}

}  // namespace

TfrmMain::TfrmMain() : QWidget(nullptr) {
  setObjectName(QStringLiteral("frmMain"));
  SetUpWindow(*this, QString::fromLatin1(kProgramTitle), kClientSize, kMainWindowFlags);
  SetWhiteBackground(*this);
  CreateControls();
  SetTabOrder();
  ConnectHandlers();
  CentreOnScreen(*this);
}

void TfrmMain::CreateControls() {
  // The picture comes first so that every other control lies above it.
  Image1 = new QLabel(this);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setPixmap(QPixmap::fromImage(MainPicture()));
  Image1->move(kPicturePlace);
  Image1->adjustSize();

  GroupBox1 = MakeGroupBox(this, "GroupBox1", QStringLiteral("  Main "), {16, 16, 283, 298});
  Label1 = MakeLabel(GroupBox1, "Label1", QStringLiteral("Source Files:"), {16, 24});
  Edit1 = MakeControl<QLineEdit>(GroupBox1, "Edit1", {16, 45, 249, 21});
  Edit1->setReadOnly(true);
  Button1 = MakeButton(GroupBox1, "Button1", QStringLiteral("Browse"), {190, 76, 75, 25});
  Button7 = MakeButton(GroupBox1, "Button7", QStringLiteral("Fix Now"), {16, 107, 249, 25});
  CheckBox1 = MakeControl<QCheckBox>(GroupBox1, "CheckBox1", {16, 80, 168, 17});
  CheckBox1->setText(QStringLiteral("Backup Source Files"));
  ListView1 = MakeControl<QTreeWidget>(GroupBox1, "ListView1", {16, 151, 249, 130});
  ListView1->setRootIsDecorated(false);
  ListView1->setHeaderLabels({QStringLiteral("No."), QStringLiteral("File"), QStringLiteral("Event")});
  ListView1->setColumnWidth(0, 32);
  ListView1->setColumnWidth(1, 80);
  ListView1->setColumnWidth(2, 100);
  ListView1->header()->setStretchLastSection(false);

  GroupBox3 = MakeGroupBox(this, "GroupBox3", QStringLiteral(" Documents "), {320, 16, 163, 129});
  Button4 = MakeButton(GroupBox3, "Button4", QStringLiteral("What's this?"), {32, 24, 99, 25});
  Button5 = MakeButton(GroupBox3, "Button5", QStringLiteral("How To..."), {32, 76, 99, 25});

  Button3 = MakeButton(this, "Button3", QStringLiteral("About"), {352, 184, 99, 25});
  Button8 = MakeButton(this, "Button8", QStringLiteral("Data Recovery"), {352, 223, 99, 25});
  Button6 = MakeButton(this, "Button6", QStringLiteral("Close"), {352, 264, 99, 25});
}

void TfrmMain::SetTabOrder() {
  QWidget* const chain[] = {Edit1, Button1, Button7, CheckBox1, ListView1, Button4, Button5, Button3, Button6, Button8};
  for (std::size_t k = 1; k < std::size(chain); ++k) setTabOrder(chain[k - 1], chain[k]);
}

void TfrmMain::ConnectHandlers() {
  ConnectGuarded(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  ConnectGuarded(Button7, &QPushButton::clicked, this, [this] { Button7Click(); });
  ConnectGuarded(Button4, &QPushButton::clicked, this, [this] { Button4Click(Button4); });
  ConnectGuarded(Button5, &QPushButton::clicked, this, [this] { Button4Click(Button5); });
  ConnectGuarded(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
  ConnectGuarded(Button8, &QPushButton::clicked, this, [this] { Button8Click(); });
  ConnectGuarded(Button6, &QPushButton::clicked, this, [this] { Button6Click(); });
}

void TfrmMain::closeEvent(QCloseEvent* event) {
  RunGuarded([this] { FormClose(); });
  event->accept();
}

void TfrmMain::AddEventRow(const std::string& file, const std::string& event) {
  const std::string number = EventRowNumber(static_cast<std::size_t>(ListView1->topLevelItemCount()));
  ListView1->addTopLevelItem(new QTreeWidgetItem(
      QStringList{QString::fromStdString(number), QString::fromStdString(file), QString::fromStdString(event)}));
}

bool TfrmMain::BackupRequested() const { return CheckBox1->isChecked(); }

void TfrmMain::FormClose() { tailmend::FileList().swap(FileList); }

void TfrmMain::Button1Click() {
  const QStringList chosen = ChooseCrwFiles(this);
  if (chosen.isEmpty()) return;
  tailmend::FileList files;
  for (const QString& path : chosen) files.push_back(path.toStdString());
  FileList = std::move(files);
  Edit1->setText(QString::fromStdString(SelectionText(FileList)));
}

void TfrmMain::Button7Click() {
  TfrmProcessing frmProcessing(*this);
  frmProcessing.exec();
}

void TfrmMain::Button4Click(const QObject* Sender) {
  const HelpDocument document = HelpDocumentFor(Sender == Button4);
  TfrmShowDoc frmShowDoc;
  frmShowDoc.setWindowTitle(QString::fromStdString(document.caption));
  frmShowDoc.DocFile = QString::fromStdString(document.docFile);
  frmShowDoc.exec();
}

void TfrmMain::Button3Click() {
  TfrmAbout frmAbout;
  frmAbout.exec();
}

void TfrmMain::Button8Click() { OpenWebPage(QString::fromLatin1(kDataRecoverySite)); }

void TfrmMain::Button6Click() { QCoreApplication::quit(); }

}  // namespace tailmend

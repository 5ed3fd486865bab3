#include "ui/qt/main.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPixmap>
#include <QPushButton>
#include <QTreeWidget>

#include "ui/behaviour/desktop_files.h"
#include "ui/behaviour/main_window.h"
#include "ui/behaviour/product.h"
#include "ui/behaviour/scoped_replacement.h"
#include "ui/behaviour/window_designs.h"
#include "ui/qt/about.h"
#include "ui/qt/design_drawing.h"
#include "ui/qt/desktop_services.h"
#include "ui/qt/doc.h"
#include "ui/qt/error_guard.h"
#include "ui/qt/jpeg_picture.h"
#include "ui/qt/process.h"

namespace tailmend {

namespace {

constexpr Qt::WindowFlags kMainWindowFlags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                             Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                                             Qt::WindowCloseButtonHint;

// The local files a drag carries, as the system spells their names; none for anything else (text,
// web addresses), which the window then refuses.
std::vector<std::string> LocalFilesOf(const QMimeData& data) {
  std::vector<std::string> paths;
  for (const QUrl& url : data.urls()) {
    if (url.isLocalFile()) paths.push_back(QFile::encodeName(url.toLocalFile()).toStdString());
  }
  return paths;
}

// The window only reads the names: a drop it took as a move would let the file manager delete the
// photos. False, and nothing taken, for a drag of no local file or one that cannot be a copy.
bool TakeAsCopy(QDropEvent& event) {
  if (LocalFilesOf(*event.mimeData()).empty() || !(event.possibleActions() & Qt::CopyAction)) return false;
  event.setDropAction(Qt::CopyAction);
  return true;
}

}  // namespace

TfrmMain::TfrmMain() : QWidget(nullptr) {
  DrawWindow(*this, MainWindowDesign(), kMainWindowFlags);
  DesignControl<QLabel>(*this, "Image1").setPixmap(QPixmap::fromImage(MainPicture()));
  Edit1 = &DesignControl<QLineEdit>(*this, "Edit1");
  CheckBox1 = &DesignControl<QCheckBox>(*this, "CheckBox1");
  ListView1 = &DesignControl<QTreeWidget>(*this, "ListView1");
  setAcceptDrops(true);
  ConnectHandlers();
}

void TfrmMain::ConnectHandlers() {
  const auto onClick = [this](const char* button, auto handler) {
    ConnectGuarded(&DesignControl<QPushButton>(*this, button), &QPushButton::clicked, this, handler);
  };
  onClick("Button1", [this] { Button1Click(); });
  onClick("Button7", [this] { Button7Click(); });
  onClick("Button4", [this] { Button4Click("Button4"); });
  onClick("Button5", [this] { Button4Click("Button5"); });
  onClick("Button3", [this] { Button3Click(); });
  onClick("Button8", [this] { Button8Click(); });
  onClick("Button6", [this] { Button6Click(); });
  ConnectEventList();
}

void TfrmMain::closeEvent(QCloseEvent* event) {
  if (!FormCloseQuery()) {
    event->ignore();
    return;
  }
  RunGuarded([this] { FormClose(); });
  event->accept();
}

void TfrmMain::dragEnterEvent(QDragEnterEvent* event) {
  if (!TakeAsCopy(*event)) return;
  event->accept();
}

void TfrmMain::dropEvent(QDropEvent* event) {
  if (!TakeAsCopy(*event)) return;
  event->accept();
  const std::vector<std::string> paths = LocalFilesOf(*event->mimeData());
  RunGuarded([this, &paths] { TakeDesktopFiles(paths); });
}

void TfrmMain::TakeDesktopFiles(const std::vector<std::string>& paths) {
  DesktopFiles taken = FilesFromDesktop(paths);
  if (!taken.files.empty()) ReplaceSelection(std::move(taken.files));
  if (!taken.problems.empty()) ShowErrorBox(taken.problems);
}

bool TfrmMain::BackupRequested() const { return CheckBox1->isChecked(); }

void TfrmMain::FormClose() { tailmend::FileList().swap(FileList); }

void TfrmMain::Button1Click() {
  const QStringList chosen = CurrentServices().chooseCrwFiles(this);
  if (chosen.isEmpty()) return;
  tailmend::FileList files;
  for (const QString& path : chosen) files.push_back(path.toStdString());
  ReplaceSelection(std::move(files));
}

void TfrmMain::ReplaceSelection(tailmend::FileList files) {
  FileList = std::move(files);
  Edit1->setText(QString::fromStdString(SelectionText(FileList)));
  Edit1->setCursorPosition(0);  // the first names, as the Windows edit box shows them
  Edit1->setToolTip(QString::fromStdString(SelectionTooltip(FileList)));
}

void TfrmMain::Button7Click() {
  const ScopedReplacement<bool> running(runOpen_, true);
  TfrmProcessing frmProcessing(*this);
  frmProcessing.exec();
}

void TfrmMain::Button4Click(std::string_view Sender) {
  const HelpDocument document = HelpDocumentFor(Sender == "Button4");
  TfrmShowDoc frmShowDoc;
  frmShowDoc.setWindowTitle(QString::fromStdString(document.caption));
  frmShowDoc.DocFile = QString::fromStdString(document.docFile);
  frmShowDoc.exec();
}

void TfrmMain::Button3Click() {
  TfrmAbout frmAbout;
  frmAbout.exec();
}

void TfrmMain::Button8Click() { CurrentServices().openWebPage(QString::fromLatin1(kDataRecoverySite)); }

void TfrmMain::Button6Click() { QCoreApplication::quit(); }

}  // namespace tailmend

#include "ui/qt/doc.h"

#include <QCoreApplication>
#include <QDir>
#include <QPushButton>
#include <QShowEvent>
#include <QTextEdit>

#include "rtf/rtf_reader.h"
#include "ui/behaviour/document_viewer.h"
#include "ui/qt/controls.h"
#include "ui/qt/error_guard.h"

namespace tailmend {

namespace {

constexpr QSize kClientSize(418, 278);

// The installed data folder lies at the same place relative to the program wherever the package
// put both.
std::vector<std::string> QtDocumentFolders() {
  const QString program = QCoreApplication::applicationDirPath();
  return DocumentFolders(program.toStdString(),
                         QDir(program).filePath(QStringLiteral(TAILMEND_DATA_FROM_PROGRAM)).toStdString(),
                         QDir::currentPath().toStdString());
}

}  // namespace

TfrmShowDoc::TfrmShowDoc() : QDialog(nullptr) {
  setObjectName(QStringLiteral("frmShowDoc"));
  SetUpWindow(*this, QStringLiteral("frmShowDoc"), kClientSize, kDialogFlags);
  RichEdit1 = MakeControl<QTextEdit>(this, "RichEdit1", {16, 8, 385, 209});
  RichEdit1->setReadOnly(true);
  RichEdit1->setTabChangesFocus(true);
  RichEdit1->setFont(TahomaFont(kWindowFontPixels));
  Button1 = MakeControl<QPushButton>(this, "Button1", {318, 236, 75, 25});
  Button1->setText(QStringLiteral("OK"));
  connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
  CentreOnScreen(*this);
}

void TfrmShowDoc::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) RunGuarded([this] { FormShow(); });
}

void TfrmShowDoc::FormShow() {
  const auto path = FindDocument(DocFile.toStdString(), QtDocumentFolders());
  if (!path) {
    RichEdit1->append(QString::fromLatin1(kMissingDocumentText));
    return;
  }
  LoadDocument(*path);
}

// A file that is not RTF is shown as it is, in the system's 8-bit encoding.
void TfrmShowDoc::LoadDocument(const std::string& path) {
  const QByteArray bytes = QByteArray::fromStdString(ReadDocument(path));
  if (!ReadRtf(bytes, *RichEdit1->document())) RichEdit1->setPlainText(QString::fromLocal8Bit(bytes));
}

}  // namespace tailmend

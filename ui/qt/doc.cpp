#include "ui/qt/doc.h"

#include <QCoreApplication>
#include <QDir>
#include <QPushButton>
#include <QShowEvent>
#include <QTextEdit>

#include "rtf/rtf_reader.h"
#include "ui/behaviour/document_viewer.h"
#include "ui/behaviour/window_designs.h"
#include "ui/qt/design_drawing.h"
#include "ui/qt/error_guard.h"

namespace tailmend {

// The installed data folder lies at the same place relative to the program wherever the package
// put both.
std::vector<std::string> HelpDocumentFolders() {
  const QString program = QCoreApplication::applicationDirPath();
  return DocumentFolders(program.toStdString(),
                         QDir(program).filePath(QStringLiteral(TAILMEND_DATA_FROM_PROGRAM)).toStdString(),
                         QDir::currentPath().toStdString());
}

TfrmShowDoc::TfrmShowDoc() : QDialog(nullptr) {
  DrawWindow(*this, DocumentViewerDesign(), kDialogFlags);
  RichEdit1 = &DesignControl<QTextEdit>(*this, "RichEdit1");
  connect(&DesignControl<QPushButton>(*this, "Button1"), &QPushButton::clicked, this, &QDialog::accept);
}

void TfrmShowDoc::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) RunGuarded([this] { FormShow(); });
}

void TfrmShowDoc::FormShow() {
  const auto path = FindDocument(DocFile.toStdString(), HelpDocumentFolders());
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

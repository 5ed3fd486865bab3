#include "ui/qt/doc.h"

#include <QCoreApplication>
#include <QDir>
#include <QPushButton>
#include <QShowEvent>
#include <QTextEdit>

#include "platform/file_stream.h"
#include "platform/platform_error.h"
#include "rtf/rtf_reader.h"
#include "ui/qt/controls.h"
#include "ui/qt/error_guard.h"

namespace tailmend {

namespace {

constexpr QSize kClientSize(418, 278);
// Help documents are a few kilobytes; anything this large is not one and is not loaded whole.
constexpr std::int64_t kMaxDocumentSize = std::int64_t{64} << 20;
const char* const kLoadFailure = "Failed to Load Stream";

QByteArray ReadWhole(const QString& path) {
  FileStream stream = FileStream::OpenReadSharedRead(path.toStdString());
  const std::int64_t size = stream.Size();
  if (size > kMaxDocumentSize) throw PlatformError(kLoadFailure);
  QByteArray bytes(static_cast<qsizetype>(size), '\0');
  if (stream.Read(bytes.data(), bytes.size()) != static_cast<std::size_t>(size)) throw PlatformError(kLoadFailure);
  return bytes;
}

QString FindDocument(const QString& name) {
  for (const QString& folder : DocumentFolders()) {
    const QString path = QDir(folder).filePath(name);
    if (FileExists(path.toStdString())) return path;
  }
  return {};
}

}  // namespace

QStringList DocumentFolders() {
  const QString program = QCoreApplication::applicationDirPath();
  return {program, QDir(program).filePath(QStringLiteral(TAILMEND_DATA_FROM_PROGRAM)), QDir::currentPath()};
}

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
  const QString path = FindDocument(DocFile);
  if (path.isEmpty()) {
    RichEdit1->append(QStringLiteral("Document file doesn't exist."));
    return;
  }
  LoadDocument(path);
}

// A file that is not RTF is shown as it is, in the system's 8-bit encoding.
void TfrmShowDoc::LoadDocument(const QString& path) {
  const QByteArray bytes = ReadWhole(path);
  if (!ReadRtf(bytes, *RichEdit1->document())) RichEdit1->setPlainText(QString::fromLocal8Bit(bytes));
}

}  // namespace tailmend

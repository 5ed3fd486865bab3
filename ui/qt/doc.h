#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

class QPushButton;
class QShowEvent;
class QTextEdit;

namespace tailmend {

// Where a help document is looked for, in order: beside the program (where the build and the
// installer put it), the installed data folder, then the current directory.
QStringList DocumentFolders();

// The document viewer. Controls and handlers keep the names of the window's design; each control's
// objectName is its member name.
class TfrmShowDoc final : public QDialog {
public:
  TfrmShowDoc();

  // The bare file name of the document to show, set before the viewer is shown.
  QString DocFile;

protected:
  void showEvent(QShowEvent* event) override;

private:
  void FormShow();
  void LoadDocument(const QString& path);

  QTextEdit* RichEdit1 = nullptr;
  QPushButton* Button1 = nullptr;
};

}  // namespace tailmend

#pragma once

#include <QDialog>
#include <QString>
#include <string>
#include <vector>

class QShowEvent;
class QTextEdit;

namespace tailmend {

// Where this program looks for a help document, in order: beside the program, in the installed
// data folder, in the current folder.
std::vector<std::string> HelpDocumentFolders();

// The document viewer, drawn from its design. Its handlers keep the names of the design, and each
// control's objectName is its design name.
class TfrmShowDoc final : public QDialog {
public:
  TfrmShowDoc();

  // The bare file name of the document to show, set before the viewer is shown.
  QString DocFile;

protected:
  void showEvent(QShowEvent* event) override;

private:
  void FormShow();
  void LoadDocument(const std::string& path);

  QTextEdit* RichEdit1 = nullptr;
};

}  // namespace tailmend

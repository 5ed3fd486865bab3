#pragma once

#include <QDialog>
#include <QString>

class QPushButton;
class QShowEvent;
class QTextEdit;

namespace tailmend {

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
  void LoadDocument(const std::string& path);

  QTextEdit* RichEdit1 = nullptr;
  QPushButton* Button1 = nullptr;
};

}  // namespace tailmend

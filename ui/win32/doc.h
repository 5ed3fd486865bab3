#pragma once

#include <string>
#include <vector>

#include "ui/win32/modal_dialog.h"

namespace tailmend {

// Where this program looks for a help document, in order: beside the program, then the current
// folder. Windows has no installed data folder.
std::vector<std::string> HelpDocumentFolders();

// The document viewer. Its controls keep the names of the window's design as control identifiers.
class TfrmShowDoc final : public ModalDialog {
public:
  enum Control : int { RichEdit1 = 100, Button1 };

  TfrmShowDoc();

  // The bare file name of the document to show, set before the viewer is shown.
  std::string DocFile;

private:
  void FormCreate() override;
  void FormShow() override;
  void Click(int control) override;
  void LoadDocument(const std::string& path);
};

}  // namespace tailmend

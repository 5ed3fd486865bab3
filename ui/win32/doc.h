#pragma once

#include <string>
#include <vector>

#include "ui/win32/modal_dialog.h"

namespace tailmend {

// Where this program looks for a help document, in order: beside the program, then the current
// folder. Windows has no installed data folder.
std::vector<std::string> HelpDocumentFolders();

// The document viewer, drawn from its design. Its handlers keep the names of the design.
class TfrmShowDoc final : public ModalDialog {
public:
  TfrmShowDoc();

  // The bare file name of the document to show, set before the viewer is shown.
  std::string DocFile;

private:
  void FormShow() override;
  void Click(std::string_view control) override;
  void LoadDocument(const std::string& path);
};

}  // namespace tailmend

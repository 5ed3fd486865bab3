#pragma once

#include <cstddef>
#include <string>

#include "engine/types.h"

namespace tailmend {

// What Edit1 shows for a selection: each file's name without its folder, in double quotes and
// followed by one blank.
std::string SelectionText(const FileList& files);

// The No. of an event row: the count of rows once it is added, so numbers go on across runs.
std::string EventRowNumber(std::size_t rowsBefore);

// The help document a document button opens, and the viewer's caption for it.
struct HelpDocument {
  std::string caption;
  std::string docFile;
};

// Button4 ("What's this?") opens whatis.rtf; any other sender, Button5 in practice, howto.rtf.
HelpDocument HelpDocumentFor(bool senderIsButton4);

}  // namespace tailmend

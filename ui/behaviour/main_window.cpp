#include "ui/behaviour/main_window.h"

#include "platform/path_names.h"

namespace tailmend {

std::string SelectionText(const FileList& files) {
  std::string text;
  for (const SelectedFile& file : files) text += '"' + FileNameOf(file.path) + "\" ";
  return text;
}

std::string EventRowNumber(std::size_t rowsBefore) { return std::to_string(rowsBefore + 1); }

HelpDocument HelpDocumentFor(bool senderIsButton4) {
  if (senderIsButton4) return {"What's this?", "whatis.rtf"};
  return {"How To ...", "howto.rtf"};
}

}  // namespace tailmend

#include "ui/behaviour/main_window.h"

#include <unordered_set>
#include <vector>

#include "platform/path_names.h"
#include "ui/behaviour/listed_lines.h"

namespace tailmend {

namespace {

std::string FilesSelected(std::size_t count) {
  return std::to_string(count) + (count == 1 ? " file selected from " : " files selected from ");
}

// The folders of the selection, each once, in the order their first file comes.
std::vector<std::string> FoldersOf(const FileList& files) {
  std::vector<std::string> folders;
  std::unordered_set<std::string> seen;
  for (const SelectedFile& file : files) {
    std::string folder = file.path.substr(0, FileNameStart(file.path));
    if (folder.empty()) folder = "the current folder";
    if (seen.insert(folder).second) folders.push_back(std::move(folder));
  }
  return folders;
}

}  // namespace

std::string SelectionText(const FileList& files) {
  std::string text;
  std::size_t shown = 0;
  for (; shown < files.size(); ++shown) {
    const std::string quoted = '"' + FileNameOf(files[shown].path) + "\" ";
    if (shown > 0 && text.size() + quoted.size() > kSelectionTextBytes) break;
    text += quoted;
  }
  if (shown < files.size()) text += "... and " + std::to_string(files.size() - shown) + " more";
  return text;
}

std::string SelectionTooltip(const FileList& files) {
  if (files.empty()) return "";
  const std::vector<std::string> folders = FoldersOf(files);
  if (folders.size() == 1) return FilesSelected(files.size()) + folders.front();
  return FilesSelected(files.size()) + std::to_string(folders.size()) + " folders:\n" + ListedLines(folders);
}

std::string EventRowNumber(std::size_t rowsBefore) { return std::to_string(rowsBefore + 1); }

bool EventListMenuItemEnabled(std::string_view item, bool rowChosen, std::size_t rows) {
  return item == "SaveReport1" ? rows > 0 : rowChosen;
}

HelpDocument HelpDocumentFor(bool senderIsButton4) {
  if (senderIsButton4) return {"What's this?", "whatis.rtf"};
  return {"How To ...", "howto.rtf"};
}

}  // namespace tailmend

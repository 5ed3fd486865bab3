#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "engine/types.h"

namespace tailmend {

// What Edit1 shows for a selection: each file's name without its folder, in double quotes and
// followed by one blank. A long selection shows its first names, as many as fit within
// kSelectionTextBytes (the first always), then "... and N more": the system's text layout (Wine's
// Uniscribe) lays out at most 255 runs of one script on a line and draws nothing of a longer one,
// and a name makes about six (letters, digits, punctuation).
inline constexpr std::size_t kSelectionTextBytes = 230;
std::string SelectionText(const FileList& files);

// The tooltip of Edit1: how many files are selected and from which folders (each with its
// separator, in the order of the selection, as a box lists lines); none for no file.
std::string SelectionTooltip(const FileList& files);

// The name the save dialog proposes for the event list's report.
inline constexpr const char* kReportFileName = "tailmend-report.csv";

// Whether an item of the event list's menu can be chosen: Details, Show in Folder and Copy Path act
// on the chosen row, Save Report on all the rows the list holds.
bool EventListMenuItemEnabled(std::string_view item, bool rowChosen, std::size_t rows);

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

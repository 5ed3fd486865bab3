#pragma once

#include <string>
#include <vector>

#include "engine/types.h"

namespace tailmend {

// What the desktop hands a window program: the files and folders named on its command line ("Open
// with", a file manager's verb, a drop onto the program) or dropped onto its main window.
struct DesktopFiles {
  // The selection that replaces the window's, as Browse replaces it: each named .crw file as
  // given, and the .crw files below each folder as tailmend-cli walks them (links and backups
  // left out), each name once. Files of other kinds are left out, as Browse's filter hides them.
  // Empty when nothing named leads to a photo; the window's selection then stays as it was.
  FileList files;
  // For the standard error box, one line each: what the walks could not read, and folders that
  // held no photo, or else that nothing named was a .crw file. Empty when there is nothing to say.
  std::string problems;
};

// Walks every folder named before returning; repairs nothing.
DesktopFiles FilesFromDesktop(const std::vector<std::string>& paths);

// The same for files that reach a selection in parts (Explorer starts the Windows program once per
// selected file, and the later ones hand theirs to the first): the files follow the selection's, in
// order of arrival, those it holds already left out, so that the parts together give what one
// command line naming them all gives.
DesktopFiles MoreFilesFromDesktop(const FileList& selection, const std::vector<std::string>& paths);

}  // namespace tailmend

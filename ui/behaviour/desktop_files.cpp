#include "ui/behaviour/desktop_files.h"

#include <set>

#include "engine/folder_walk.h"
#include "ui/behaviour/listed_lines.h"

namespace tailmend {

namespace {

const char* const kNoCrwFile = "None of the files given is a .crw file";

// Backups and links to folders are left out on purpose, and tailmend-cli says so; the window
// speaks only of what the person may not have expected.
bool WorthSaying(WalkNoteKind kind) { return MayMissPhotos(kind) || kind == WalkNoteKind::NoCrwFiles; }

std::string ProblemLine(const WalkNote& note) {
  std::string line = '"' + note.path + "\": ";
  line.append(WalkNoteText(note.kind));
  if (!note.reason.empty()) line += ": " + note.reason;
  return line;
}

std::string ProblemText(const std::vector<WalkNote>& notes) {
  std::vector<std::string> lines;
  for (const WalkNote& note : notes) {
    if (WorthSaying(note.kind)) lines.push_back(ProblemLine(note));
  }
  return ListedLines(lines);
}

// A walk lists only .crw files; a file named outright is kept as it was given whatever its name.
// A name the selection holds already is not added again.
DesktopFiles FilesAfter(FileList selection, const std::vector<std::string>& paths) {
  FileArguments found = ExpandFileArguments(paths);
  DesktopFiles result{std::move(selection), {}};
  std::set<std::string> selected;
  for (const SelectedFile& file : result.files) selected.insert(file.path);
  for (SelectedFile& file : found.files) {
    if (IsCrwFileName(file.path) && selected.insert(file.path).second) result.files.push_back(std::move(file));
  }
  result.problems = ProblemText(found.notes);
  if (result.files.empty() && result.problems.empty() && !paths.empty()) result.problems = kNoCrwFile;
  return result;
}

}  // namespace

DesktopFiles FilesFromDesktop(const std::vector<std::string>& paths) { return FilesAfter({}, paths); }

DesktopFiles MoreFilesFromDesktop(const FileList& selection, const std::vector<std::string>& paths) {
  return FilesAfter(selection, paths);
}

}  // namespace tailmend

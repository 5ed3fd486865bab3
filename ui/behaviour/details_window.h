#pragma once

#include <string>
#include <utility>
#include <vector>

#include "ui/behaviour/run_progress.h"

namespace tailmend {

// The details window's value controls, by design name, with what each shows of a row: the file's
// name (Edit1) and folder (Edit2); its size, length, junk, trailer, damage, the camera's name, the
// capture time and the backup (Label4 to Label18, each beside its caption); its sentence (Label19).
// "unknown" where the file was never read, "none" where there is nothing of the kind.
std::vector<std::pair<std::string, std::string>> DetailTexts(const EventRow& row);

// The folder of a path, without the separator after it unless it is a root ("/", "C:\\"); empty for
// a bare name.
std::string FolderOf(const std::string& path);

}  // namespace tailmend

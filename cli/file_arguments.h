#pragma once

#include <string>
#include <vector>

namespace tailmend {

// The files the command line's FILE and FOLDER arguments stand for.
struct FileArguments {
  // In order: a named file as it was given; for a folder, every file below it whose name ends in
  // .crw (any case), sorted by name folder by folder, through subfolders but not through symbolic
  // links to folders.
  std::vector<std::string> files;
  // What the walk left out and why, one line each, in the order met.
  std::vector<std::string> messages;
  // False when a folder could not be read or a .crw name was not a regular file: photos may then
  // have been missed. Backup copies left out on purpose keep it true.
  bool complete = true;
};

FileArguments ExpandFileArguments(const std::vector<std::string>& arguments);

}  // namespace tailmend

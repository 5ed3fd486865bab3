#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/types.h"

namespace tailmend {

// What a folder walk left out, and why.
enum class WalkNoteKind {
  BackupCopy,        // one of our own backups: repairing it would lose the photo as it was found
  LinkToFolder,      // a symbolic link to a folder, not followed
  Link,              // a symbolic link named like a photo, not followed
  NotARegularFile,   // a pipe, a device or a socket named like a photo
  CannotExamine,     // an entry the system would not describe (permission, name too long, a loop)
  CannotReadFolder,  // a folder that could not be listed
  NoCrwFiles,        // a folder, read whole, with no photo below it
};

struct WalkNote {
  WalkNoteKind kind;
  std::string path;
  std::string reason{};  // the system's words, for the two that cannot
};

// True for a name ending in .crw, in any case: the photos a walk lists.
bool IsCrwFileName(std::string_view name);

// "skipped: a backup copy", "cannot read folder", ...: what a report says before the reason.
std::string_view WalkNoteText(WalkNoteKind kind);

// True for the notes after which photos may have been missed: links, other entries named like
// photos, entries and folders that could not be read. Backups and links to folders are left out
// on purpose.
bool MayMissPhotos(WalkNoteKind kind);

// The files the FILE and FOLDER arguments stand for.
struct FileArguments {
  // In order: a named file as it was given (links followed); for a folder, every regular file
  // below it whose name ends in .crw (any case), sorted by name folder by folder, through
  // subfolders but never through symbolic links, each with the identity it was listed with.
  FileList files;
  // What the walk left out and why, in the order met.
  std::vector<WalkNote> notes;

  // False when photos may have been missed.
  bool Complete() const;
};

// Walks every folder before returning, so that backups made during a run are never taken for photos.
FileArguments ExpandFileArguments(const std::vector<std::string>& arguments);

}  // namespace tailmend

#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/file_stream.h"

namespace tailmend {

// A folder held open while files are made and named in it. Its names are made relative to the
// folder itself, so that nothing put in its place, or in place of a folder above it, once it was
// opened (a symbolic link, another folder) can send them elsewhere. On POSIX every call names the
// file relative to the open folder; on Windows each folder from the first one opened down is held
// open so that it can be neither renamed nor deleted, and names are made below its own path as
// the system resolved it. Paths are UTF-8. Failures of the system raise PlatformError.
class HeldFolder {
public:
  // The folder of that name, wherever it leads: a link named by the user is the user's choice. An
  // empty path is the current folder.
  static HeldFolder Open(const std::string& path);
  // The same, made first where it is missing, with any folder missing above it. Made, it is no
  // more open than the folder like, which it stands for (see Enter); without like, it is made as
  // the system makes a folder.
  static HeldFolder OpenMaking(const std::string& path, const std::optional<std::string>& like);

  HeldFolder(HeldFolder&& other) noexcept;
  HeldFolder& operator=(HeldFolder&& other) noexcept;
  HeldFolder(const HeldFolder&) = delete;
  HeldFolder& operator=(const HeldFolder&) = delete;
  ~HeldFolder();

  // Goes down into the folder name inside this one, making it where it is missing, and never
  // through a symbolic link (on Windows, a reparse point that stands for another name): a link
  // there raises InTheWayError(path, kASymbolicLink). A folder made here is no more open than the
  // folder like: on POSIX its permission bits (within the umask) and its group, or no group bits
  // where that group cannot be given, and the owner may always write into it; on Windows its
  // access-control list. Where like cannot be examined, it is made for its owner alone.
  void Enter(const std::string& name, const std::string& like);

  // A new file in this folder for reading and writing, shared with nobody and readable by its
  // owner alone. Never replaces or follows anything already there: nothing when the name is taken.
  std::optional<FileStream> CreateNew(const std::string& name) const;
  // Gives the closed file from the name to, both in this folder, without ever replacing anything:
  // false, with from untouched, when the name is taken. Whatever the file system offers is used,
  // so that a file under the new name is always the whole file.
  bool GiveName(const std::string& from, const std::string& to) const;
  // Removes a file of this folder; false when the system refused.
  bool Remove(const std::string& name) const;
  // True when the name in this folder is a symbolic link (on Windows, a reparse point).
  bool IsLink(const std::string& name) const;
  // Makes the names in this folder durable, not only the data behind them.
  void Flush() const;

  // The path of a name in this folder, as messages show it: below the path it was opened by.
  std::string PathOf(const std::string& name) const;

private:
  struct State;
  explicit HeldFolder(std::unique_ptr<State> state);

  std::unique_ptr<State> state_;
};

}  // namespace tailmend

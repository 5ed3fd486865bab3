#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

#include "platform/held_folder.h"
#include "platform/path_names.h"
#include "platform/system_calls_posix.h"
#include "platform/system_error_text.h"

namespace tailmend {

// The folder's descriptor, opened only to name things relative to it (O_PATH): that needs no
// permission to read it, and reads nothing through it.
struct HeldFolder::State {
  State(int descriptor, std::string shownPath) : fd(descriptor), path(std::move(shownPath)) {}
  State(const State&) = delete;
  State& operator=(const State&) = delete;
  ~State() { ::close(fd); }

  int fd;
  std::string path;
};

namespace {

// Only the owner may read a copy until it has the permission bits of its original.
constexpr mode_t kPrivateMode = 0600;
constexpr int kHoldFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;

const char* SystemName(const std::string& path) { return path.empty() ? "." : path.c_str(); }

// Closes a descriptor of its own when it goes.
class Descriptor {
public:
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() { ::close(fd_); }
  int Get() const { return fd_; }

private:
  int fd_;
};

// Exclusive: never replaces or follows anything already under that name.
int CreateExclusive(int folder, const std::string& name) {
  return System(FileOperation::Open, [&] {
    return ::openat(folder, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, kPrivateMode);
  });
}

enum class Naming { Given, Taken, Unsupported };

Naming Classify(int result, int code) {
  if (result == 0) return Naming::Given;
  if (code == EEXIST) return Naming::Taken;
  if (IsUnsupported(code)) return Naming::Unsupported;
  throw SystemError(code);
}

// A second name for the file, then the first one goes: the new name never shows a partial file.
Naming LinkThenUnlink(int folder, const std::string& from, const std::string& to) {
  const int linked = System(FileOperation::Name, [&] { return ::linkat(folder, from.c_str(), folder, to.c_str(), 0); });
  const Naming naming = Classify(linked, errno);
  if (naming == Naming::Given &&
      System(FileOperation::Name, [&] { return ::unlinkat(folder, from.c_str(), 0); }) != 0) {
    ThrowErrno();
  }
  return naming;
}

Naming RenameRefusingToReplace(int folder, const std::string& from, const std::string& to) {
  const int renamed = System(FileOperation::Name,
                             [&] { return ::renameat2(folder, from.c_str(), folder, to.c_str(), RENAME_NOREPLACE); });
  return Classify(renamed, errno);
}

// The last resort, where the file system has neither hard links nor a rename that refuses to
// replace (FAT through FUSE): the name is taken with an exclusive create, and the file is renamed
// onto that empty file of our own. A kill between the two leaves the empty file under the name.
Naming ReserveThenRename(int folder, const std::string& from, const std::string& to) {
  const int reserved = CreateExclusive(folder, to);
  if (reserved < 0 && errno == EEXIST) return Naming::Taken;
  if (reserved < 0) ThrowErrno();
  ::close(reserved);
  if (System(FileOperation::Name, [&] { return ::renameat(folder, from.c_str(), folder, to.c_str()); }) != 0) {
    const int code = errno;
    ::unlinkat(folder, to.c_str(), 0);
    throw SystemError(code);
  }
  return Naming::Given;
}

std::optional<struct stat> StatusOf(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return std::nullopt;
  return info;
}

// A group of the user's own could list what only the original folder's group may: the folder
// made gets that group, or keeps its owner's bits only.
void GiveGroupOf(const struct stat& original, int parent, const std::string& name) {
  const Descriptor made(System(FileOperation::Open, [&] {
    return ::openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  }));
  if (made.Get() < 0) ThrowErrno();
  if (GiveOwnership(original, made.Get())) return;
  if (System(FileOperation::Attributes, [&] { return ::fchmod(made.Get(), kOwnerBits); }) != 0 && !IsUnkept(errno)) {
    ThrowErrno();
  }
}

// Makes the folder name in parent, no more open than the folder like (see HeldFolder::Enter), or
// as the system makes one without like; false when the name is taken already.
bool MakeFolder(int parent, const std::string& name, const std::string& shownPath,
                const std::optional<std::string>& like) {
  const std::optional<struct stat> original = like ? StatusOf(*like) : std::nullopt;
  mode_t bits = kPermissionBits;
  if (like) bits = original ? (original->st_mode & kPermissionBits) | kOwnerBits : kOwnerBits;
  if (System(FileOperation::Name, [&] { return ::mkdirat(parent, SystemName(name), bits); }) != 0) {
    if (errno == EEXIST) return false;
    throw MakeFolderError(shownPath, errno);
  }
  if (original) GiveGroupOf(*original, parent, SystemName(name));
  return true;
}

// The folders above path that are missing, as the user named them; what cannot be made on the
// way shows when the folder itself cannot be.
void MakeFoldersAbove(const std::string& path) {
  for (std::size_t end = path.find('/', 1); end != std::string::npos && end + 1 < path.size();
       end = path.find('/', end + 1)) {
    ::mkdir(path.substr(0, end).c_str(), kPermissionBits);
  }
}

}  // namespace

HeldFolder::HeldFolder(std::unique_ptr<State> state) : state_(std::move(state)) {}
HeldFolder::HeldFolder(HeldFolder&& other) noexcept = default;
HeldFolder& HeldFolder::operator=(HeldFolder&& other) noexcept = default;
HeldFolder::~HeldFolder() = default;

HeldFolder HeldFolder::Open(const std::string& path) {
  const int fd = System(FileOperation::Open, [&] { return ::open(SystemName(path), kHoldFlags); });
  if (fd < 0) throw OpenFolderError(path, errno);
  return HeldFolder(std::make_unique<State>(fd, path));
}

HeldFolder HeldFolder::OpenMaking(const std::string& path, const std::optional<std::string>& like) {
  MakeFoldersAbove(path);
  MakeFolder(AT_FDCWD, path, path, like);
  return Open(path);
}

void HeldFolder::Enter(const std::string& name, const std::string& like) {
  std::string path = PathOf(name);
  MakeFolder(state_->fd, name, path, like);
  const int fd =
      System(FileOperation::Open, [&] { return ::openat(state_->fd, name.c_str(), kHoldFlags | O_NOFOLLOW); });
  if (fd < 0) {
    const int code = errno;
    if (IsLink(name)) throw InTheWayError(path, kASymbolicLink);
    if (code == ENOTDIR) throw InTheWayError(path, kNotAFolder);
    throw OpenFolderError(path, code);
  }
  state_ = std::make_unique<State>(fd, std::move(path));
}

std::optional<FileStream> HeldFolder::CreateNew(const std::string& name) const {
  const int fd = CreateExclusive(state_->fd, name);
  if (fd >= 0) return FileStream(fd);
  if (errno == EEXIST) return std::nullopt;
  throw OpenError(PathOf(name), errno);
}

bool HeldFolder::GiveName(const std::string& from, const std::string& to) const {
  for (auto method : {LinkThenUnlink, RenameRefusingToReplace}) {
    const Naming naming = method(state_->fd, from, to);
    if (naming != Naming::Unsupported) return naming == Naming::Given;
  }
  return ReserveThenRename(state_->fd, from, to) == Naming::Given;
}

bool HeldFolder::Remove(const std::string& name) const { return ::unlinkat(state_->fd, name.c_str(), 0) == 0; }

bool HeldFolder::IsLink(const std::string& name) const {
  struct stat info {};
  return ::fstatat(state_->fd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(info.st_mode);
}

// A descriptor held only to name things cannot be flushed: the folder is opened for that.
void HeldFolder::Flush() const {
  const int fd =
      System(FileOperation::Open, [&] { return ::openat(state_->fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC); });
  // A folder we may not read cannot be flushed; the data in it already is.
  if (fd < 0 && errno == EACCES) return;
  if (fd < 0) ThrowErrno();
  const Descriptor folder(fd);
  // Some file systems cannot flush a folder at all (EINVAL); their names are as durable as they get.
  if (System(FileOperation::Flush, [&] { return ::fsync(folder.Get()); }) != 0 && errno != EINVAL) ThrowErrno();
}

std::string HeldFolder::PathOf(const std::string& name) const { return PathInFolder(state_->path, name); }

}  // namespace tailmend

#include <windows.h>
#include <aclapi.h>

#include <utility>
#include <vector>

#include "platform/extended_path_win32.h"
#include "platform/held_folder.h"
#include "platform/path_names.h"
#include "platform/system_calls_win32.h"
#include "platform/system_error_text.h"
#include "platform/wide_text_win32.h"

namespace tailmend {

// Windows makes files and names them by path only (CreateFileW, MoveFileExW). A folder opened
// without letting others delete it can be neither renamed nor deleted, nor replaced by a link,
// while it is open: each folder from the first one opened down is held so, and its names are made
// below the path the system resolved for the first one, through folders that stay what was
// checked. A name is joined to its folder's path as the system reads any path ("/" separates).
struct HeldFolder::State {
  State(HANDLE first, std::wstring firstPath, std::string shownPath)
      : held{first}, systemPath(std::move(firstPath)), path(std::move(shownPath)) {}
  State(const State&) = delete;
  State& operator=(const State&) = delete;
  ~State() {
    for (const HANDLE folder : held) ::CloseHandle(folder);
  }

  std::vector<HANDLE> held;
  std::wstring systemPath;  // the last folder's, in extended form
  std::string path;         // as messages show it
};

namespace {

// A first guess at a resolved path's length; a longer one is asked for again at its size.
constexpr DWORD kFinalPathGuess = 512;

// Others may read and write in the folder, but not delete or rename it. The system holds others
// to that only for a handle that may list the folder: one opened for its attributes alone takes
// no part in sharing. With FILE_FLAG_OPEN_REPARSE_POINT a link is opened itself, not what it
// points to.
constexpr DWORD kHoldAccess = FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES;

HANDLE HoldFolder(const std::wstring& systemPath, DWORD flags, DWORD access = kHoldAccess) {
  if (InjectedFailure(FileOperation::Open)) return INVALID_HANDLE_VALUE;
  return ::CreateFileW(systemPath.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS | flags, nullptr);
}

// The path the system resolved for an open folder, links and substituted drives undone; the path
// it was opened by where the file system cannot say.
std::wstring ResolvedPath(HANDLE folder, const std::wstring& openedBy) {
  std::wstring path(kFinalPathGuess, L'\0');
  for (;;) {
    const DWORD length = ::GetFinalPathNameByHandleW(folder, path.data(), static_cast<DWORD>(path.size()), 0);
    if (length == 0) return openedBy;
    const bool fitted = length < path.size();
    path.resize(length);
    if (fitted) return path;
  }
}

// A folder reached by its name alone must be a folder of its own: a reparse point that stands for
// another name (a symbolic link, a junction) may lead anywhere.
void RequireFolderItself(HANDLE folder, const std::string& path) {
  FILE_ATTRIBUTE_TAG_INFO info{};
  if (!::GetFileInformationByHandleEx(folder, FileAttributeTagInfo, &info, sizeof info)) {
    throw OpenFolderError(path, static_cast<int>(::GetLastError()));
  }
  const bool link = (info.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && IsReparseTagNameSurrogate(info.ReparseTag);
  if (link) throw InTheWayError(path, kASymbolicLink);
  if (!(info.FileAttributes & FILE_ATTRIBUTE_DIRECTORY)) throw InTheWayError(path, kNotAFolder);
}

// The access-control list of the folder like, kept from what the new folder's parent passes on,
// for a folder made to stand for like; nothing where like has none to give or cannot be read, and
// the new folder then gets what its parent passes on, as a copied file does.
class AccessLike {
public:
  explicit AccessLike(const std::optional<std::string>& like) {
    const auto system = like ? ExtendedPathFromUtf8(*like) : std::nullopt;
    PACL dacl = nullptr;
    if (!system || ::GetNamedSecurityInfoW(system->c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                           &dacl, nullptr, &original_) != ERROR_SUCCESS) {
      return;
    }
    given_ = dacl && ::InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION) &&
             ::SetSecurityDescriptorDacl(&descriptor_, TRUE, dacl, FALSE) &&
             ::SetSecurityDescriptorControl(&descriptor_, SE_DACL_PROTECTED, SE_DACL_PROTECTED);
    attributes_ = {sizeof attributes_, &descriptor_, FALSE};
  }
  AccessLike(const AccessLike&) = delete;
  AccessLike& operator=(const AccessLike&) = delete;
  ~AccessLike() { ::LocalFree(original_); }

  SECURITY_ATTRIBUTES* Attributes() { return given_ ? &attributes_ : nullptr; }

private:
  PSECURITY_DESCRIPTOR original_ = nullptr;
  SECURITY_DESCRIPTOR descriptor_{};
  SECURITY_ATTRIBUTES attributes_{};
  bool given_ = false;
};

// Makes the folder, no more open than like; a name already there is fine.
void MakeFolder(const std::wstring& systemPath, const std::string& path, const std::optional<std::string>& like) {
  AccessLike access(like);
  if (InjectedFailure(FileOperation::Name) || !::CreateDirectoryW(systemPath.c_str(), access.Attributes())) {
    const DWORD code = ::GetLastError();
    if (code != ERROR_ALREADY_EXISTS) throw MakeFolderError(path, static_cast<int>(code));
  }
}

// The folders above path that are missing, as the user named them; what cannot be made on the way
// shows when the folder itself cannot be.
void MakeFoldersAbove(const std::string& path) {
  for (std::size_t end = path.find_first_of("\\/", 1); end != std::string::npos && end + 1 < path.size();
       end = path.find_first_of("\\/", end + 1)) {
    if (const auto folder = ExtendedPathFromUtf8(path.substr(0, end))) ::CreateDirectoryW(folder->c_str(), nullptr);
  }
}

std::wstring SystemPathOf(const std::string& path) {
  auto wide = ExtendedPathFromUtf8(path.empty() ? "." : path);
  if (!wide) throw OpenFolderError(path, ERROR_NO_UNICODE_TRANSLATION);
  return std::move(*wide);
}

// The extended-length path of a name in the folder of that path; nothing for a name that is no UTF-8.
std::optional<std::wstring> SystemNameIn(const std::wstring& folder, const std::string& name) {
  const auto wide = WideFromUtf8(name);
  if (!wide) return std::nullopt;
  std::wstring joined = WithoutExtendedPrefix(folder);
  if (!joined.empty() && joined.back() != L'\\') joined += L'\\';
  return ExtendedPath(joined + *wide);
}

}  // namespace

HeldFolder::HeldFolder(std::unique_ptr<State> state) : state_(std::move(state)) {}
HeldFolder::HeldFolder(HeldFolder&& other) noexcept = default;
HeldFolder& HeldFolder::operator=(HeldFolder&& other) noexcept = default;
HeldFolder::~HeldFolder() = default;

// A folder the user named that the user may write in but not list is still the user's to name:
// it is held as far as the system lets us.
HeldFolder HeldFolder::Open(const std::string& path) {
  const std::wstring system = SystemPathOf(path);
  HANDLE folder = HoldFolder(system, 0);
  if (folder == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_ACCESS_DENIED) {
    folder = HoldFolder(system, 0, FILE_READ_ATTRIBUTES);
  }
  if (folder == INVALID_HANDLE_VALUE) throw OpenFolderError(path, static_cast<int>(::GetLastError()));
  return HeldFolder(std::make_unique<State>(folder, ResolvedPath(folder, system), path));
}

HeldFolder HeldFolder::OpenMaking(const std::string& path, const std::optional<std::string>& like) {
  MakeFoldersAbove(path);
  MakeFolder(SystemPathOf(path), path, like);
  return Open(path);
}

void HeldFolder::Enter(const std::string& name, const std::string& like) {
  std::string path = PathOf(name);
  auto system = SystemNameIn(state_->systemPath, name);
  if (!system) throw MakeFolderError(path, ERROR_NO_UNICODE_TRANSLATION);
  MakeFolder(*system, path, like);
  const HANDLE folder = HoldFolder(*system, FILE_FLAG_OPEN_REPARSE_POINT);
  if (folder == INVALID_HANDLE_VALUE) throw OpenFolderError(path, static_cast<int>(::GetLastError()));
  try {
    RequireFolderItself(folder, path);
    state_->held.push_back(folder);
  } catch (...) {
    ::CloseHandle(folder);
    throw;
  }
  state_->systemPath = std::move(*system);
  state_->path = std::move(path);
}

// Nothing already there is ever replaced or followed.
std::optional<FileStream> HeldFolder::CreateNew(const std::string& name) const {
  const auto wide = SystemNameIn(state_->systemPath, name);
  if (!wide) throw OpenError(PathOf(name), ERROR_NO_UNICODE_TRANSLATION);
  const HANDLE handle = InjectedFailure(FileOperation::Open)
                            ? INVALID_HANDLE_VALUE
                            : ::CreateFileW(wide->c_str(), GENERIC_READ | GENERIC_WRITE | WRITE_DAC, 0, nullptr,
                                            CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle != INVALID_HANDLE_VALUE) return FileStream(reinterpret_cast<std::intptr_t>(handle));
  const DWORD code = ::GetLastError();
  if (IsNameTaken(code)) return std::nullopt;
  throw OpenError(PathOf(name), static_cast<int>(code));
}

// Without MOVEFILE_REPLACE_EXISTING the move refuses any name already there; write-through makes
// the new name durable before the call returns.
bool HeldFolder::GiveName(const std::string& from, const std::string& to) const {
  const auto wideFrom = SystemNameIn(state_->systemPath, from);
  const auto wideTo = SystemNameIn(state_->systemPath, to);
  if (!wideFrom || !wideTo) throw SystemError(ERROR_NO_UNICODE_TRANSLATION);
  if (!InjectedFailure(FileOperation::Name) &&
      ::MoveFileExW(wideFrom->c_str(), wideTo->c_str(), MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  const DWORD code = ::GetLastError();
  // A folder under the name answers "access denied" rather than "exists".
  if (IsNameTaken(code) || ::GetFileAttributesW(wideTo->c_str()) != INVALID_FILE_ATTRIBUTES) return false;
  throw SystemError(static_cast<int>(code));
}

bool HeldFolder::Remove(const std::string& name) const {
  const auto wide = SystemNameIn(state_->systemPath, name);
  return wide && ::DeleteFileW(wide->c_str()) != 0;
}

bool HeldFolder::IsLink(const std::string& name) const {
  const auto wide = SystemNameIn(state_->systemPath, name);
  const DWORD attributes = wide ? ::GetFileAttributesW(wide->c_str()) : INVALID_FILE_ATTRIBUTES;
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// The write-through move has already made the name durable.
void HeldFolder::Flush() const {}

std::string HeldFolder::PathOf(const std::string& name) const { return PathInFolder(state_->path, name); }

}  // namespace tailmend

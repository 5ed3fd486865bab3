#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tailmend {

// How the Windows file layer names a file to the system. The wide-character API refuses a path
// longer than MAX_PATH (260) unless both the program and the machine opt in; the extended-length
// form (\\?\C:\..., \\?\UNC\server\share\...) reaches any path the file system can hold. The
// system takes that form literally (no current folder, no "." or "..", no "/" for "\"), so the
// path is first made absolute exactly as the system itself would make it (GetFullPathNameW).
// Only the calls see this form: the names shown to the user stay as the user gave them.

// The extended-length form of a UTF-8 path; nothing when the text is not valid UTF-8.
std::optional<std::wstring> ExtendedPathFromUtf8(std::string_view path);

// The extended-length form of a wide path. A path already in a device form (\\?\, \\.\, \??\)
// means what it says and is left as it is; so is one the system cannot make absolute, for the
// call that takes it to refuse with the system's own reason.
std::wstring ExtendedPath(const std::wstring& path);

// A path in extended-length form as a program would write it, for a name to be joined to it and
// read as the system reads any path: \\?\C:\x gives C:\x and \\?\UNC\server\share gives
// \\server\share; another form is left as it is.
std::wstring WithoutExtendedPrefix(const std::wstring& path);

// The system's own absolute form of a path, from the current folder; nothing when it has none.
std::optional<std::wstring> FullPath(const std::wstring& path);

}  // namespace tailmend

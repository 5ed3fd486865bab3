#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#endif

namespace tailmend::test {

// The system's error codes the tests provoke or stand in for, as the file layer meets them.
#ifdef _WIN32
inline constexpr int kNoSuchFileCode = ERROR_FILE_NOT_FOUND;
inline constexpr int kNameTakenCode = ERROR_FILE_EXISTS;
#else
inline constexpr int kNoSuchFileCode = ENOENT;
inline constexpr int kNameTakenCode = EEXIST;
#endif

}  // namespace tailmend::test

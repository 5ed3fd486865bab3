#pragma once

#include <string>

#include "platform/platform_error.h"

namespace tailmend {

// The system's own message for an error code, without trailing blanks, line breaks or full stops.
std::string SystemMessage(int code);

// "Cannot open file "<path>". <system message>"
std::string OpenErrorText(const std::string& path, int code);
// "Cannot open file "<path>". <reason>", for a refusal of our own rather than the system's.
std::string OpenErrorText(const std::string& path, const std::string& reason);

// "Cannot read folder "<path>". <system message>"
std::string FolderErrorText(const std::string& path, int code);

// The text of a failed size change: the code and the system's message on a second line, or a
// general text when the system gave no code.
std::string SystemErrorText(int code);

// Why the file layer refuses a name that the system did open: a folder walk's entry is repaired
// only while it is still the file that was listed.
inline constexpr const char* kNotARegularFileReason = "It is not a regular file";
inline constexpr const char* kNotTheListedFileReason = "It is no longer the file that was listed";

// The errors carrying those texts, with the system's message (or the reason given) as their reason.
PlatformError OpenError(const std::string& path, int code);
PlatformError OpenError(const std::string& path, const std::string& reason);
PlatformError FolderError(const std::string& path, int code);
PlatformError MakeFolderError(const std::string& path, int code);
// "Cannot open folder "<path>". <system message>"
PlatformError OpenFolderError(const std::string& path, int code);
PlatformError SystemError(int code);

// What stands under a name that a repaired copy was to take, or a folder it was to enter.
inline constexpr const char* kAlreadyThere = "already there";
inline constexpr const char* kASymbolicLink = "a symbolic link";
inline constexpr const char* kNotAFolder = "not a folder";
// "Cannot write "<path>": it is <what>", with "<path> is <what>" as its reason.
PlatformError InTheWayError(const std::string& path, const std::string& what);

// Removes every trailing character of code 0x20 or below and every trailing full stop.
std::string TrimSystemMessage(std::string message);

}  // namespace tailmend

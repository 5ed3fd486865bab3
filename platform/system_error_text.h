#pragma once

#include <string>

namespace tailmend {

// The system's own message for an error code, without trailing blanks, line breaks or full stops.
std::string SystemMessage(int code);

// "Cannot open file "<path>". <system message>"
std::string OpenErrorText(const std::string& path, int code);

// "Cannot read folder "<path>". <system message>"
std::string FolderErrorText(const std::string& path, int code);

// The text of a failed size change: the code and the system's message on a second line, or a
// general text when the system gave no code.
std::string SystemErrorText(int code);

// Removes every trailing character of code 0x20 or below and every trailing full stop.
std::string TrimSystemMessage(std::string message);

}  // namespace tailmend

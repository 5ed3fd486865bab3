#pragma once

#include <string>

namespace tailmend::test {

// The wide-character form of a UTF-8 path, as another program would name the file.
std::wstring Wide(const std::string& path);

// The system's message for an error code exactly as FormatMessageW gives it, line break included.
std::string RawSystemMessage(unsigned long code);

// Checks that text is prefix followed by the system's own message for code, with the trailing
// full stop and line break Windows ends it with taken off and nothing else changed.
void ExpectPrefixAndSystemMessage(const std::string& text, const std::string& prefix, unsigned long code);

}  // namespace tailmend::test

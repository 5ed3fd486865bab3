#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tailmend {

enum class OutputStream { Out, Error };

// Writes UTF-8 text, its lines ended by '\n', to the program's standard output or standard error
// as the system shows text there, all of it before returning. On Windows a console is given the
// text in UTF-16 (it would show UTF-8 bytes in its own code page, a Cyrillic or Japanese name as
// nonsense), and a file or a pipe gets UTF-8 with CR LF line ends; elsewhere every kind gets the
// bytes as they are. Returns the system's reason when not all of the text was written.
std::optional<std::string> WriteOutput(OutputStream stream, std::string_view text);

}  // namespace tailmend

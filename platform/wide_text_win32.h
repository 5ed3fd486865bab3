#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tailmend {

// The program's texts are UTF-8; the wide-character Windows API takes UTF-16. Only the Windows
// build compiles these.

// Nothing when the text is not valid UTF-8: guessing would name a different file.
std::optional<std::wstring> WideFromUtf8(std::string_view text);
// For text that is only shown: a sequence that is no UTF-8 becomes U+FFFD, the rest stays readable.
std::wstring WideTextFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);

}  // namespace tailmend

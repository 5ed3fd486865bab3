#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tailmend {

// The program's texts are UTF-8; the wide-character Windows API takes UTF-16. Only the Windows
// build compiles these.
//
// A Windows name need not be valid UTF-16: NTFS keeps an unpaired surrogate as it keeps any other
// unit. Inside the program such a name is spelt in WTF-8, UTF-8 that writes an unpaired surrogate
// as the three bytes its code point would take, so that every wide name has one narrow spelling
// and comes back from it unchanged: no name ever becomes another file's.

// Nothing when the text is not UTF-8 in that sense (a stray byte, an overlong form, a surrogate
// pair spelt as two surrogates): guessing would name a different file.
std::optional<std::wstring> WideFromUtf8(std::string_view text);
// For text that is only shown: a sequence that is no UTF-8 becomes U+FFFD, the rest stays readable.
std::wstring WideTextFromUtf8(std::string_view text);
// Every wide text, unpaired surrogates included, in the spelling WideFromUtf8 turns back into it.
std::string Utf8FromWide(std::wstring_view text);

}  // namespace tailmend

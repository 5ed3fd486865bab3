#pragma once

#include <functional>
#include <string>

namespace tailmend {

// Hands a web address to the shell with the verb "open", hidden, without waiting; the shell passes
// it to the default browser. Nothing is reported when that fails: the page is a courtesy, not part
// of the repair.
void OpenWebPage(const std::wstring& address);

// What opens the page; tests record the address instead of starting a browser.
using WebOpener = std::function<void(const std::wstring& address)>;
// Replaces the opener and returns the previous one; an empty opener brings the shell's back.
WebOpener SetWebOpener(WebOpener opener);

}  // namespace tailmend

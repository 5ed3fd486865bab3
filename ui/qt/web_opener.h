#pragma once

#include <QString>
#include <functional>

namespace tailmend {

// Hands a web address to the desktop's default browser without waiting. Nothing is reported when
// that fails: the page is a courtesy, not part of the repair.
void OpenWebPage(const QString& address);

// What opens the page; tests record the address instead of starting a browser.
using WebOpener = std::function<void(const QString& address)>;
// Replaces the opener and returns the previous one; an empty opener brings the desktop's back.
WebOpener SetWebOpener(WebOpener opener);

}  // namespace tailmend

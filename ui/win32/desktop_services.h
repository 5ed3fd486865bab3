#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/behaviour/scoped_replacement.h"

namespace tailmend {

// What the windows ask of the desktop. Tests replace them to answer and record instead of a person.
struct DesktopServices {
  // Shows the standard error box over owner and waits until it is closed: the text, which already
  // follows the error-box rule, under the caption, with an error icon and one OK button.
  std::function<void(HWND owner, const std::wstring& caption, const std::wstring& text)> showErrorBox;
  // Hands a web address to the shell with the verb "open", hidden, without waiting; the shell
  // passes it to the default browser. Nothing is reported when that fails: the page is a courtesy,
  // not part of the repair.
  std::function<void(const std::wstring& address)> openWebPage;
  // Asks the user for CRW files: their full paths in the dialog's order, none when cancelled.
  std::function<std::vector<std::wstring>(HWND owner)> chooseCrwFiles;
  // Called with each of the program's dialogs once it is on screen with its modal loop running,
  // after its first show; the system does nothing there. Tests look at the dialog and act on it
  // there, as a person would, instead of racing a timer.
  std::function<void(HWND dialog)> dialogShown;
  // Opens the folder a file lies in, in Explorer, with the file selected, without waiting (the
  // folder alone where the shell cannot select). Nothing is reported when that fails.
  std::function<void(const std::wstring& file)> showInFolder;
  // Asks the user where to save the event list's report in the system's save dialog: the file's
  // full path, empty when cancelled. A file already there is replaced only once the user agreed.
  std::function<std::wstring(HWND owner)> chooseReportFile;
  // Puts a text on the clipboard, for owner.
  std::function<void(HWND owner, const std::wstring& text)> copyText;
};

// The system's message box, the shell, the system's file dialogs and the clipboard.
DesktopServices SystemServices();

// The services the windows use: the system's, unless they are replaced.
const DesktopServices& CurrentServices();

// Replaces the services for as long as it lives, then puts back those it replaced.
class ScopedServices : public ScopedReplacement<DesktopServices> {
public:
  explicit ScopedServices(DesktopServices replacement);
};

}  // namespace tailmend

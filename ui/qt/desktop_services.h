#pragma once

#include <QString>
#include <QStringList>
#include <functional>

#include "ui/behaviour/scoped_replacement.h"

class QWidget;

namespace tailmend {

// What the windows ask of the desktop. Tests replace them to answer and record instead of a person.
struct DesktopServices {
  // Shows the standard error box and waits until it is closed: the text, which already follows the
  // error-box rule, under the caption, with an error icon and one OK button.
  std::function<void(const QString& caption, const QString& text)> showErrorBox;
  // Hands a web address to the desktop's default browser without waiting. Nothing is reported when
  // that fails: the page is a courtesy, not part of the repair.
  std::function<void(const QString& address)> openWebPage;
  // Asks the user for CRW files: their full paths in the dialog's order, none when cancelled.
  std::function<QStringList(QWidget* parent)> chooseCrwFiles;
  // Shows the folder a file lies in, in the desktop's file manager, without waiting. Nothing is
  // reported when that fails.
  std::function<void(const QString& file)> showInFolder;
  // Asks the user where to save the event list's report: the file's full path, empty when
  // cancelled. A file already there is replaced only once the user has agreed.
  std::function<QString(QWidget* parent)> chooseReportFile;
  // Puts a text on the clipboard.
  std::function<void(const QString& text)> copyText;
};

// Qt's message box, the desktop's browser, the file dialogs, the desktop's file manager and the
// clipboard.
DesktopServices SystemServices();

// The services the windows use: the system's, unless they are replaced.
const DesktopServices& CurrentServices();

// Replaces the services for as long as it lives, then puts back those it replaced.
class ScopedServices : public ScopedReplacement<DesktopServices> {
public:
  explicit ScopedServices(DesktopServices replacement);
};

}  // namespace tailmend

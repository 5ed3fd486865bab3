#include <QApplication>
#include <QIcon>

#include "generated/version.h"
#include "platform/command_line.h"
#include "ui/behaviour/product.h"
#include "ui/qt/error_guard.h"
#include "ui/qt/main.h"

// The window program: its arguments, once Qt has taken its own options out of them, are files and
// folders to select ("Open with", a file manager's verb, files dropped onto the program).
int main(int argc, char** argv) {
  QApplication application(argc, argv);
  const std::vector<std::string> paths = tailmend::CommandLineArguments(argc, argv);
  // The title is also the caption of every error box.
  QApplication::setApplicationName(QString::fromLatin1(tailmend::kProgramTitle));
  QApplication::setApplicationVersion(QString::fromLatin1(tailmend::kFileVersion));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/tailmend/tailmend.png")));
  tailmend::TfrmMain frmMain;
  frmMain.show();
  if (!paths.empty()) tailmend::RunGuarded([&] { frmMain.TakeDesktopFiles(paths); });
  return QApplication::exec();
}

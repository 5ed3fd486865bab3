#include <QApplication>
#include <QIcon>

#include "generated/version.h"
#include "ui/behaviour/product.h"
#include "ui/qt/main.h"

// The window program: takes no arguments of its own (Qt's platform options aside).
int main(int argc, char** argv) {
  QApplication application(argc, argv);
  // The title is also the caption of every error box.
  QApplication::setApplicationName(QString::fromLatin1(tailmend::kProgramTitle));
  QApplication::setApplicationVersion(QString::fromLatin1(tailmend::kFileVersion));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/tailmend/tailmend.png")));
  tailmend::TfrmMain frmMain;
  frmMain.show();
  return QApplication::exec();
}

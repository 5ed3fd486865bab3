#include <QApplication>
#include <QIcon>

#include "ui/qt/main.h"

// The window program: takes no arguments of its own (Qt's platform options aside).
int main(int argc, char** argv) {
  QApplication application(argc, argv);
  // The title is also the caption of every error box.
  QApplication::setApplicationName(QStringLiteral("Tailmend"));
  QApplication::setApplicationVersion(QStringLiteral(TAILMEND_VERSION));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/tailmend/tailmend.png")));
  tailmend::TfrmMain frmMain;
  frmMain.show();
  return QApplication::exec();
}

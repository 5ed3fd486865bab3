// Loaded into an installed window program with LD_PRELOAD, so that a script can see without a
// person or a display what the program selected from its command line: once the event loop runs,
// it prints the text of the main window's selection (Edit1) and ends the program.
#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <cstdio>

namespace {

QWidget* MainWindow() {
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (widget->objectName() == QLatin1String("frmMain") && widget->isVisible()) return widget;
  return nullptr;
}

void PrintSelection() {
  QWidget* mainWindow = MainWindow();
  if (mainWindow == nullptr) {
    QTimer::singleShot(10, PrintSelection);
    return;
  }
  const auto* edit = mainWindow->findChild<QLineEdit*>(QStringLiteral("Edit1"));
  std::printf("%s\n", edit != nullptr ? edit->text().toUtf8().constData() : "(no Edit1)");
  std::fflush(stdout);
  QApplication::quit();
}

void StartWhenTheEventLoopRuns() { QTimer::singleShot(0, PrintSelection); }

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(StartWhenTheEventLoopRuns)

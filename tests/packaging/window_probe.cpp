// Loaded into an installed window program with LD_PRELOAD, so that a script can see without a
// person or a display which help documents that program finds: once the main window is up, it
// presses "What's this?" and "How To..." and prints, for every window that then comes up modally,
// its caption and the first line of the document it shows; then it ends the program.
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <cstdio>

namespace {

void Print(const QString& caption, const QString& text) {
  std::printf("%s\t%s\n", qPrintable(caption), qPrintable(text.section(QLatin1Char('\n'), 0, 0)));
  std::fflush(stdout);
}

// Runs inside the modal loop of whatever the button opened. A window that is not the viewer (an
// error box) is printed too and closed, and the viewer that may follow it is waited for.
void ReportModalWindow() {
  QWidget* window = QApplication::activeModalWidget();
  if (window == nullptr) {
    QTimer::singleShot(10, ReportModalWindow);
    return;
  }
  if (auto* document = window->findChild<QTextEdit*>(QStringLiteral("RichEdit1"))) {
    Print(window->windowTitle(), document->toPlainText());
    window->close();
    return;
  }
  const auto* box = qobject_cast<QMessageBox*>(window);
  Print(window->windowTitle(), box != nullptr ? box->text() : QStringLiteral("(not the document viewer)"));
  window->close();
  QTimer::singleShot(10, ReportModalWindow);
}

QWidget* MainWindow() {
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (widget->objectName() == QLatin1String("frmMain") && widget->isVisible()) return widget;
  return nullptr;
}

void PressAndReport(QWidget& mainWindow, const char* buttonName) {
  auto* button = mainWindow.findChild<QPushButton*>(QString::fromLatin1(buttonName));
  if (button == nullptr) {
    Print(QString::fromLatin1(buttonName), QStringLiteral("(no such button)"));
    return;
  }
  QTimer::singleShot(0, ReportModalWindow);
  button->click();
}

void OpenBothDocuments() {
  QWidget* mainWindow = MainWindow();
  if (mainWindow == nullptr) {
    QTimer::singleShot(10, OpenBothDocuments);
    return;
  }
  PressAndReport(*mainWindow, "Button4");
  PressAndReport(*mainWindow, "Button5");
  QApplication::quit();
}

void StartWhenTheEventLoopRuns() { QTimer::singleShot(0, OpenBothDocuments); }

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(StartWhenTheEventLoopRuns)

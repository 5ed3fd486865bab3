#include <gtest/gtest.h>

#include <QGuiApplication>

// Fonts and colours in a QTextDocument want a GUI application behind them; offscreen unless told
// otherwise, so that no test needs a display.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

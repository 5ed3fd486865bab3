#include <gtest/gtest.h>

#include <QGuiApplication>

// Fonts and colours in a QTextDocument want a GUI application behind them.
int main(int argc, char** argv) {
  QGuiApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

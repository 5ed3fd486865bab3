// The RTF reader of the document viewer on any bytes: it must neither crash nor hang.
#include <QByteArray>
#include <QGuiApplication>
#include <QTextDocument>
#include <cstdint>

#include "rtf/rtf_reader.h"

// Fonts and colours in a QTextDocument want a GUI application behind it; offscreen, so that no
// display is needed. Qt gets arguments of its own: libFuzzer's are not for it.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "fuzz_rtf_reader";
  static char* argv[] = {name, nullptr};
  static QGuiApplication application(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  QTextDocument document;
  tailmend::ReadRtf(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)), document);
  return 0;
}

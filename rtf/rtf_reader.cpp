#include "rtf/rtf_reader.h"

#include <QTextDocument>
#include <string_view>

#include "rtf/rtf_document_writer.h"
#include "rtf/rtf_interpreter.h"

namespace tailmend {

bool ReadRtf(const QByteArray& rtf, QTextDocument& document) {
  if (!rtf.startsWith("{\\rtf")) return false;
  RtfDocumentWriter writer(document);
  RtfInterpreter interpreter(writer);
  interpreter.Run(std::string_view(rtf.constData(), static_cast<std::size_t>(rtf.size())));
  return true;
}

}  // namespace tailmend

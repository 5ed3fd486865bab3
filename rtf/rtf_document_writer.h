#pragma once

#include <QTextCursor>

class QString;
class QTextBlockFormat;
class QTextCharFormat;
class QTextDocument;

namespace tailmend {

// Appends formatted text and paragraphs to a Qt document, from its start. Undo is off while it
// writes: a document of a million runs would otherwise keep a million undo steps.
class RtfDocumentWriter {
public:
  explicit RtfDocumentWriter(QTextDocument& document);
  ~RtfDocumentWriter();
  RtfDocumentWriter(const RtfDocumentWriter&) = delete;
  RtfDocumentWriter& operator=(const RtfDocumentWriter&) = delete;

  void AppendText(const QString& text, const QTextCharFormat& format);
  // RTF gives a paragraph the properties in force at its \par.
  void EndParagraph(const QTextBlockFormat& block, const QTextCharFormat& format);
  void Finish(const QTextBlockFormat& block);

private:
  QTextDocument& document_;
  bool undoWasEnabled_;
  QTextCursor cursor_;
};

}  // namespace tailmend

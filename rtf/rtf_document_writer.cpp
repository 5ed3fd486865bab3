#include "rtf/rtf_document_writer.h"

#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextDocument>

namespace tailmend {

RtfDocumentWriter::RtfDocumentWriter(QTextDocument& document)
    : document_(document), undoWasEnabled_(document.isUndoRedoEnabled()) {
  document_.setUndoRedoEnabled(false);
  document_.clear();
  cursor_ = QTextCursor(&document_);
  cursor_.beginEditBlock();
}

RtfDocumentWriter::~RtfDocumentWriter() {
  cursor_.endEditBlock();
  document_.setUndoRedoEnabled(undoWasEnabled_);
}

void RtfDocumentWriter::AppendText(const QString& text, const QTextCharFormat& format) {
  if (!text.isEmpty()) cursor_.insertText(text, format);
}

void RtfDocumentWriter::EndParagraph(const QTextBlockFormat& block, const QTextCharFormat& format) {
  cursor_.setBlockFormat(block);
  cursor_.insertBlock(block, format);
}

void RtfDocumentWriter::Finish(const QTextBlockFormat& block) { cursor_.setBlockFormat(block); }

}  // namespace tailmend

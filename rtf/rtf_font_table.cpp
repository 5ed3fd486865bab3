#include "rtf/rtf_font_table.h"

#include "rtf/rtf_code_page.h"

namespace tailmend {

void RtfFontTable::BeginEntry(int number) {
  current_ = number;
  currentCharset_.reset();
  currentName_.clear();
}

void RtfFontTable::SetCharset(int charset) {
  if (current_) currentCharset_ = charset;
}

void RtfFontTable::AppendNameByte(char byte) {
  if (current_ && currentName_.size() < kMaxNameBytes) currentName_.append(byte);
}

void RtfFontTable::EndEntry(RtfTextDecoder& decoder, int documentCodePage) {
  if (!current_) return;
  if (entries_.size() < kMaxEntries || entries_.contains(*current_)) {
    const int codePage = RtfCodePageForCharset(currentCharset_.value_or(0), documentCodePage);
    entries_[*current_] = Entry{decoder.Decode(currentName_, codePage).trimmed(), currentCharset_};
  }
  current_.reset();
  currentName_.clear();
}

QString RtfFontTable::Family(int number) const {
  const auto found = entries_.find(number);
  return found == entries_.end() ? QString() : found->second.family;
}

std::optional<int> RtfFontTable::Charset(int number) const {
  const auto found = entries_.find(number);
  return found == entries_.end() ? std::nullopt : found->second.charset;
}

}  // namespace tailmend

#include "rtf/rtf_interpreter.h"

#include <algorithm>

#include "rtf/rtf_characters.h"
#include "rtf/rtf_control_words.h"
#include "rtf/rtf_document_writer.h"
#include "rtf/rtf_formatting.h"
#include "rtf/rtf_qt_formats.h"

namespace tailmend {

namespace {

// Real documents nest a few dozen groups deep. Deeper groups are read past, their content unseen,
// so that the saved states stay bounded however many braces a file opens.
constexpr std::size_t kMaxGroupDepth = 256;
// \ucN counts the fallback characters after each \uN; readers use 1 or 2. The cap keeps a huge N
// from swallowing the rest of a group as fallback.
constexpr int kMaxUnicodeFallback = 16;
constexpr char16_t kReplacement = 0xFFFD;

bool IsLineEnd(char byte) { return byte == '\r' || byte == '\n'; }

}  // namespace

RtfInterpreter::RtfInterpreter(RtfDocumentWriter& writer)
    : writer_(writer), pending_(decoder_), stack_(1) {}

void RtfInterpreter::Run(std::string_view rtf) {
  RtfTokenizer tokenizer(rtf);
  for (RtfToken token = tokenizer.Next(); token.kind != RtfToken::Kind::kEnd && !finished_;
       token = tokenizer.Next()) {
    OnToken(token);
  }
  FlushText();
  writer_.Finish(ToQtBlockFormat(State().paragraph));
}

void RtfInterpreter::OnToken(const RtfToken& token) {
  switch (token.kind) {
    case RtfToken::Kind::kGroupStart: OnGroupStart(); return;
    case RtfToken::Kind::kGroupEnd: OnGroupEnd(); return;
    case RtfToken::Kind::kEnd: return;
    default: break;
  }
  if (groupsPastLimit_ > 0) return;
  switch (token.kind) {
    case RtfToken::Kind::kControlWord: OnControlWord(token); return;
    case RtfToken::Kind::kControlSymbol: OnControlSymbol(token.symbol); return;
    case RtfToken::Kind::kHexByte:
      if (!ConsumesFallback()) OnByte(static_cast<char>(token.byte));
      return;
    case RtfToken::Kind::kText: OnText(token.text); return;
    default: return;
  }
}

void RtfInterpreter::OnGroupStart() {
  FlushText();
  fallbackLeft_ = 0;
  if (groupsPastLimit_ > 0 || stack_.size() >= kMaxGroupDepth) {
    ++groupsPastLimit_;
    return;
  }
  stack_.push_back(State());
}

void RtfInterpreter::OnGroupEnd() {
  FlushText();
  fallbackLeft_ = 0;
  if (groupsPastLimit_ > 0) {
    --groupsPastLimit_;
    return;
  }
  // A font entry may end with its group instead of a ';'.
  if (State().destination == RtfDestination::kFontTable) fonts_.EndEntry(decoder_, codePage_);
  if (stack_.size() > 1) stack_.pop_back();
  // Whatever follows the brace that closes the document is not part of it.
  if (stack_.size() == 1) finished_ = true;
}

// The fallback of a \uN is written for readers that do not know \uN; this one skips it. A control
// word, a control symbol and a \'hh each count as one character.
bool RtfInterpreter::ConsumesFallback() {
  if (fallbackLeft_ == 0) return false;
  --fallbackLeft_;
  return true;
}

void RtfInterpreter::OnControlWord(const RtfToken& token) {
  if (ConsumesFallback()) return;
  const RtfWord word = LookUpRtfWord(token.text);
  if (State().destination == RtfDestination::kSkipped) return;
  if (State().destination != RtfDestination::kText) {
    OnDestinationWord(token);
    return;
  }
  if (const auto character = RtfWordCharacter(word)) {
    AddCharacter(*character);
    return;
  }
  if (word == RtfWord::kUnicode) {
    OnUnicode(token.hasParameter ? token.parameter : 0);
    return;
  }
  FlushText();
  const RtfParameter parameter{token.hasParameter, token.parameter};
  if (ApplyRtfFormatting(word, parameter, State())) return;
  switch (word) {
    case RtfWord::kParagraph: EndParagraph(); return;
    case RtfWord::kUnicodeSkip:
      State().unicodeSkip = std::clamp(token.parameter, 0, kMaxUnicodeFallback);
      return;
    case RtfWord::kAnsiCodePage:
      if (token.hasParameter && token.parameter > 0) codePage_ = token.parameter;
      return;
    case RtfWord::kDefaultFont: defaultFont_ = std::max(token.parameter, 0); return;
    case RtfWord::kFontTable: State().destination = RtfDestination::kFontTable; return;
    case RtfWord::kColourTable: State().destination = RtfDestination::kColourTable; return;
    case RtfWord::kSkippedDestination: State().destination = RtfDestination::kSkipped; return;
    default: return;
  }
}

// Inside the font and colour tables only the words that describe an entry matter.
void RtfInterpreter::OnDestinationWord(const RtfToken& token) {
  const RtfWord word = LookUpRtfWord(token.text);
  if (word == RtfWord::kSkippedDestination) {
    State().destination = RtfDestination::kSkipped;
    return;
  }
  const int value = token.parameter;
  if (State().destination == RtfDestination::kFontTable) {
    if (word == RtfWord::kFont) fonts_.BeginEntry(value);
    if (word == RtfWord::kFontCharset) fonts_.SetCharset(value);
    return;
  }
  if (word == RtfWord::kRed) colours_.SetRed(value);
  if (word == RtfWord::kGreen) colours_.SetGreen(value);
  if (word == RtfWord::kBlue) colours_.SetBlue(value);
}

void RtfInterpreter::OnUnicode(int value) {
  // RTF writes code units above 32767 as negative numbers.
  if (value < 0) value += 0x10000;
  AddCharacter(value >= 0 && value <= 0xFFFF ? static_cast<char16_t>(value) : kReplacement);
  fallbackLeft_ = State().unicodeSkip;
}

void RtfInterpreter::OnControlSymbol(char symbol) {
  if (ConsumesFallback()) return;
  // \* marks a destination this reader may not know; all of its group is then skipped.
  if (symbol == '*') State().destination = RtfDestination::kSkipped;
  if (State().destination != RtfDestination::kText) return;
  if (IsLineEnd(symbol)) {
    EndParagraph();
  } else if (const auto character = RtfSymbolCharacter(symbol)) {
    AddCharacter(*character);
  }
}

void RtfInterpreter::OnText(std::string_view text) {
  for (const char byte : text) {
    // Line ends in RTF source are layout of the file, not text.
    if (IsLineEnd(byte) || ConsumesFallback()) continue;
    OnByte(byte);
  }
}

void RtfInterpreter::OnByte(char byte) {
  switch (State().destination) {
    case RtfDestination::kText:
      if (byte == '\t') {
        AddCharacter(u'\t');
      } else if (static_cast<unsigned char>(byte) >= 0x20) {
        pending_.AddByte(byte, CurrentCodePage());
      }
      return;
    case RtfDestination::kFontTable:
      if (byte == ';') {
        fonts_.EndEntry(decoder_, codePage_);
      } else {
        fonts_.AppendNameByte(byte);
      }
      return;
    case RtfDestination::kColourTable:
      if (byte == ';') colours_.EndEntry();
      return;
    case RtfDestination::kSkipped:
      return;
  }
}

void RtfInterpreter::AddCharacter(char16_t unit) {
  if (State().destination == RtfDestination::kText) pending_.AddCharacter(unit);
}

void RtfInterpreter::EndParagraph() {
  FlushText();
  writer_.EndParagraph(ToQtBlockFormat(State().paragraph),
                       ToQtCharFormat(ResolvedCharacterFormat(), fonts_, colours_));
}

// Called before anything that may change the format, so that pending text always carries the
// format it was read in.
void RtfInterpreter::FlushText() {
  if (pending_.IsEmpty()) return;
  const QString text = pending_.Take();
  if (State().character.hidden) return;
  writer_.AppendText(text, ToQtCharFormat(ResolvedCharacterFormat(), fonts_, colours_));
}

RtfCharacterFormat RtfInterpreter::ResolvedCharacterFormat() const {
  RtfCharacterFormat format = stack_.back().character;
  if (format.font < 0) format.font = defaultFont_;
  return format;
}

int RtfInterpreter::CurrentCodePage() const {
  const auto charset = fonts_.Charset(ResolvedCharacterFormat().font);
  return RtfCodePageForCharset(charset.value_or(0), codePage_);
}

}  // namespace tailmend

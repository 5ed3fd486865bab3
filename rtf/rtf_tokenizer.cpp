#include "rtf/rtf_tokenizer.h"

#include <cstdint>

namespace tailmend {

namespace {

// RTF parameters are signed 16- or 32-bit numbers; longer digit strings are read to their end and
// saturate here, so that no later arithmetic on a parameter can overflow.
constexpr std::int64_t kMaxParameter = 2147483647;

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

RtfTokenizer::RtfTokenizer(std::string_view input) : input_(input) {}

RtfToken RtfTokenizer::Next() {
  RtfToken token;
  if (AtEnd()) return token;
  switch (Peek()) {
    case '{':
      ++position_;
      token.kind = RtfToken::Kind::kGroupStart;
      return token;
    case '}':
      ++position_;
      token.kind = RtfToken::Kind::kGroupEnd;
      return token;
    case '\\':
      ++position_;
      return ReadControl();
    default:
      return ReadText();
  }
}

RtfToken RtfTokenizer::ReadControl() {
  if (AtEnd()) return RtfToken{};
  if (IsLetter(Peek())) return ReadWord();
  const char symbol = input_[position_++];
  if (symbol == '\'') return ReadHexByte();
  RtfToken token;
  token.kind = RtfToken::Kind::kControlSymbol;
  token.symbol = symbol;
  return token;
}

RtfToken RtfTokenizer::ReadWord() {
  RtfToken token;
  token.kind = RtfToken::Kind::kControlWord;
  const std::size_t start = position_;
  while (!AtEnd() && IsLetter(Peek())) ++position_;
  token.text = input_.substr(start, position_ - start);
  ReadParameter(token);
  // A single blank ends a control word and belongs to it.
  if (!AtEnd() && Peek() == ' ') ++position_;
  if (token.text == "bin") SkipBinaryData(token);
  return token;
}

void RtfTokenizer::ReadParameter(RtfToken& token) {
  bool negative = false;
  if (!AtEnd() && Peek() == '-' && position_ + 1 < input_.size() && IsDigit(input_[position_ + 1])) {
    negative = true;
    ++position_;
  }
  if (AtEnd() || !IsDigit(Peek())) return;
  std::int64_t value = 0;
  while (!AtEnd() && IsDigit(Peek())) {
    if (value <= kMaxParameter) value = value * 10 + (Peek() - '0');
    ++position_;
  }
  if (value > kMaxParameter) value = kMaxParameter;
  token.hasParameter = true;
  token.parameter = static_cast<int>(negative ? -value : value);
}

// \binN is followed by N raw bytes that may hold anything, braces and backslashes included.
void RtfTokenizer::SkipBinaryData(const RtfToken& token) {
  if (!token.hasParameter || token.parameter <= 0) return;
  const std::size_t remaining = input_.size() - position_;
  const auto length = static_cast<std::size_t>(token.parameter);
  position_ += length < remaining ? length : remaining;
}

// \'hh with fewer than two hex digits is dropped, together with the digit it may have.
RtfToken RtfTokenizer::ReadHexByte() {
  RtfToken token;
  token.kind = RtfToken::Kind::kText;
  const int high = AtEnd() ? -1 : HexValue(Peek());
  if (high < 0) return token;
  ++position_;
  const int low = AtEnd() ? -1 : HexValue(Peek());
  if (low < 0) return token;
  ++position_;
  token.kind = RtfToken::Kind::kHexByte;
  token.byte = static_cast<unsigned char>(high * 16 + low);
  return token;
}

RtfToken RtfTokenizer::ReadText() {
  RtfToken token;
  token.kind = RtfToken::Kind::kText;
  const std::size_t start = position_;
  while (!AtEnd() && Peek() != '\\' && Peek() != '{' && Peek() != '}') ++position_;
  token.text = input_.substr(start, position_ - start);
  return token;
}

}  // namespace tailmend

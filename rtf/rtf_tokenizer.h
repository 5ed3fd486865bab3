#pragma once

#include <cstddef>
#include <string_view>

namespace tailmend {

// One lexical unit of RTF. Views point into the tokenizer's input.
struct RtfToken {
  enum class Kind { kEnd, kGroupStart, kGroupEnd, kControlWord, kControlSymbol, kHexByte, kText };

  Kind kind = Kind::kEnd;
  std::string_view text;  // the word's name, or a run of plain bytes
  bool hasParameter = false;
  int parameter = 0;
  char symbol = 0;
  unsigned char byte = 0;
};

// Splits RTF bytes into tokens in one forward pass. Never reads past the input, and every call
// consumes at least one byte until kEnd, so the whole input takes linear time whatever it holds.
class RtfTokenizer {
public:
  explicit RtfTokenizer(std::string_view input);

  RtfToken Next();

private:
  RtfToken ReadControl();
  RtfToken ReadWord();
  RtfToken ReadHexByte();
  RtfToken ReadText();
  void ReadParameter(RtfToken& token);
  void SkipBinaryData(const RtfToken& token);
  bool AtEnd() const { return position_ >= input_.size(); }
  char Peek() const { return input_[position_]; }

  std::string_view input_;
  std::size_t position_ = 0;
};

}  // namespace tailmend

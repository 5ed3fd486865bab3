#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "rtf/rtf_code_page.h"
#include "rtf/rtf_colour_table.h"
#include "rtf/rtf_font_table.h"
#include "rtf/rtf_group_state.h"
#include "rtf/rtf_pending_text.h"
#include "rtf/rtf_tokenizer.h"

namespace tailmend {

class RtfDocumentWriter;

// Walks the tokens of an RTF document, keeps the group state, the tables and the code pages, and
// hands formatted text to the writer. Handles each token in constant time (apart from the text it
// carries), so a document of any content takes linear time.
class RtfInterpreter {
public:
  explicit RtfInterpreter(RtfDocumentWriter& writer);

  void Run(std::string_view rtf);

private:
  void OnToken(const RtfToken& token);
  void OnGroupStart();
  void OnGroupEnd();
  void OnControlWord(const RtfToken& token);
  void OnControlSymbol(char symbol);
  void OnText(std::string_view text);
  void OnByte(char byte);
  void OnDestinationWord(const RtfToken& token);
  void OnUnicode(int value);
  bool ConsumesFallback();
  void AddCharacter(char16_t unit);
  void EndParagraph();
  void FlushText();

  RtfGroupState& State() { return stack_.back(); }
  RtfCharacterFormat ResolvedCharacterFormat() const;
  int CurrentCodePage() const;

  RtfDocumentWriter& writer_;
  RtfTextDecoder decoder_;
  RtfPendingText pending_;
  RtfFontTable fonts_;
  RtfColourTable colours_;
  std::vector<RtfGroupState> stack_;
  std::size_t groupsPastLimit_ = 0;
  int fallbackLeft_ = 0;
  int codePage_ = kRtfDefaultCodePage;
  int defaultFont_ = 0;
  bool finished_ = false;
};

}  // namespace tailmend

#include <gtest/gtest.h>

#include "platform/system_error_text.h"

namespace tailmend {
namespace {

TEST(SystemErrorText, TrailingFullStopsBlanksAndLineBreaksGoInAnyMix) {
  EXPECT_EQ(TrimSystemMessage("Access is denied.\r\n"), "Access is denied");
  EXPECT_EQ(TrimSystemMessage("Odd . \t.\n.. "), "Odd");
  EXPECT_EQ(TrimSystemMessage("Version 1.0 of x"), "Version 1.0 of x");
  EXPECT_EQ(TrimSystemMessage(" .\n"), "");
  EXPECT_EQ(TrimSystemMessage(std::string("Nul\0", 4)), "Nul");
}

TEST(SystemErrorText, ACutWithoutACodeHasTheGeneralText) {
  EXPECT_EQ(SystemErrorText(0), "A call to an OS function failed");
}

TEST(SystemErrorText, ACutWithACodeShowsItAboveTheSystemMessage) {
  const std::string text = SystemErrorText(5);
  const std::string head = "System Error.  Code: 5.";
  ASSERT_EQ(text.rfind(head, 0), 0u) << text;
  const std::string message = text.substr(text.find_first_not_of("\r\n", head.size()));
  EXPECT_EQ(message, SystemMessage(5));
  EXPECT_FALSE(message.empty());
  EXPECT_NE(message.back(), '.');
}

TEST(SystemErrorText, OpenErrorsNameTheFileAndTheReason) {
  EXPECT_EQ(OpenErrorText("C:\\x.crw", 2), "Cannot open file \"C:\\x.crw\". " + SystemMessage(2));
}

}  // namespace
}  // namespace tailmend

#include "tests/support/win32_texts.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/wide_text_win32.h"

namespace tailmend::test {

std::wstring Wide(const std::string& path) { return std::filesystem::u8path(path).wstring(); }

std::string RawSystemMessage(unsigned long code) {
  wchar_t buffer[1024];
  const DWORD length = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                                        0, buffer, 1024, nullptr);
  return Utf8FromWide(std::wstring_view(buffer, length));
}

void ExpectPrefixAndSystemMessage(const std::string& text, const std::string& prefix, unsigned long code) {
  ASSERT_EQ(text.substr(0, prefix.size()), prefix);
  const std::string message = text.substr(prefix.size());
  const std::string raw = RawSystemMessage(code);
  ASSERT_FALSE(message.empty());
  EXPECT_NE(message.back(), '.');
  EXPECT_GT(static_cast<unsigned char>(message.back()), 0x20);
  ASSERT_EQ(raw.substr(0, message.size()), message) << "raw message: " << raw;
  for (char dropped : raw.substr(message.size())) {
    EXPECT_TRUE(dropped == '.' || static_cast<unsigned char>(dropped) <= 0x20) << "raw message: " << raw;
  }
}

}  // namespace tailmend::test

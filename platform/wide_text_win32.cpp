#include "platform/wide_text_win32.h"

#include <cstddef>

namespace tailmend {

namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kFirstLeadSurrogate = 0xD800;
constexpr char32_t kFirstTrailSurrogate = 0xDC00;
constexpr char32_t kPastSurrogates = 0xE000;
constexpr char32_t kFirstSupplementary = 0x10000;
constexpr char32_t kLastCodePoint = 0x10FFFF;

bool IsLeadSurrogate(char32_t unit) { return unit >= kFirstLeadSurrogate && unit < kFirstTrailSurrogate; }
bool IsTrailSurrogate(char32_t unit) { return unit >= kFirstTrailSurrogate && unit < kPastSurrogates; }

// A code point and the bytes that spell it; no bytes for a sequence that is no UTF-8. Surrogates
// are taken as they are spelt, the three bytes of one at a time.
struct Spelt {
  char32_t point = 0;
  std::size_t length = 0;
};

Spelt FirstCodePoint(std::string_view text) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return {lead, 1};
  Spelt spelt;
  char32_t lowest = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    spelt = {lead & 0x1Fu, 2};
    lowest = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    spelt = {lead & 0x0Fu, 3};
    lowest = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    spelt = {lead & 0x07u, 4};
    lowest = kFirstSupplementary;
  } else {
    return {};
  }
  if (text.size() < spelt.length) return {};
  for (std::size_t k = 1; k < spelt.length; ++k) {
    if ((byte(k) & 0xC0) != 0x80) return {};
    spelt.point = (spelt.point << 6) | (byte(k) & 0x3Fu);
  }
  // An overlong form would be a second spelling of a shorter one.
  if (spelt.point < lowest || spelt.point > kLastCodePoint) return {};
  return spelt;
}

void AppendUtf16(std::wstring& wide, char32_t point) {
  if (point < kFirstSupplementary) {
    wide += static_cast<wchar_t>(point);
    return;
  }
  const char32_t above = point - kFirstSupplementary;
  wide += static_cast<wchar_t>(kFirstLeadSurrogate + (above >> 10));
  wide += static_cast<wchar_t>(kFirstTrailSurrogate + (above & 0x3FF));
}

void AppendUtf8(std::string& narrow, char32_t point) {
  const auto append = [&](char32_t byte) { narrow += static_cast<char>(byte); };
  if (point < 0x80) {
    append(point);
  } else if (point < 0x800) {
    append(0xC0 | (point >> 6));
    append(0x80 | (point & 0x3F));
  } else if (point < kFirstSupplementary) {
    append(0xE0 | (point >> 12));
    append(0x80 | ((point >> 6) & 0x3F));
    append(0x80 | (point & 0x3F));
  } else {
    append(0xF0 | (point >> 18));
    append(0x80 | ((point >> 12) & 0x3F));
    append(0x80 | ((point >> 6) & 0x3F));
    append(0x80 | (point & 0x3F));
  }
}

}  // namespace

std::optional<std::wstring> WideFromUtf8(std::string_view text) {
  std::wstring wide;
  wide.reserve(text.size());
  while (!text.empty()) {
    const Spelt spelt = FirstCodePoint(text);
    if (spelt.length == 0) return std::nullopt;
    // A pair is spelt as one four-byte sequence; two surrogates' bytes would be a second spelling.
    if (IsTrailSurrogate(spelt.point) && !wide.empty() && IsLeadSurrogate(wide.back())) return std::nullopt;
    AppendUtf16(wide, spelt.point);
    text.remove_prefix(spelt.length);
  }
  return wide;
}

std::wstring WideTextFromUtf8(std::string_view text) {
  std::wstring wide;
  wide.reserve(text.size());
  while (!text.empty()) {
    const Spelt spelt = FirstCodePoint(text);
    AppendUtf16(wide, spelt.length == 0 ? kReplacement : spelt.point);
    text.remove_prefix(spelt.length == 0 ? 1 : spelt.length);
  }
  return wide;
}

std::string Utf8FromWide(std::wstring_view text) {
  std::string narrow;
  narrow.reserve(text.size());
  for (std::size_t k = 0; k < text.size(); ++k) {
    char32_t point = static_cast<char16_t>(text[k]);
    if (IsLeadSurrogate(point) && k + 1 < text.size() && IsTrailSurrogate(static_cast<char16_t>(text[k + 1]))) {
      point = kFirstSupplementary + ((point - kFirstLeadSurrogate) << 10) +
              (static_cast<char16_t>(text[++k]) - kFirstTrailSurrogate);
    }
    AppendUtf8(narrow, point);
  }
  return narrow;
}

}  // namespace tailmend

#include "rtf/rtf_colour_table.h"

#include <algorithm>

namespace tailmend {

namespace {

int Component(int value) { return std::clamp(value, 0, 255); }

}  // namespace

void RtfColourTable::SetRed(int value) {
  red_ = Component(value);
  anyComponent_ = true;
}

void RtfColourTable::SetGreen(int value) {
  green_ = Component(value);
  anyComponent_ = true;
}

void RtfColourTable::SetBlue(int value) {
  blue_ = Component(value);
  anyComponent_ = true;
}

void RtfColourTable::EndEntry() {
  if (entries_.size() < kMaxEntries) {
    entries_.push_back(anyComponent_ ? std::optional<QColor>(QColor(red_, green_, blue_)) : std::nullopt);
  }
  red_ = green_ = blue_ = 0;
  anyComponent_ = false;
}

std::optional<QColor> RtfColourTable::Colour(int index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= entries_.size()) return std::nullopt;
  return entries_[static_cast<std::size_t>(index)];
}

}  // namespace tailmend

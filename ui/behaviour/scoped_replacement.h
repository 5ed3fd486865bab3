#pragma once

#include <utility>

namespace tailmend {

// Stands a replacement in for a value for as long as it lives, then puts back the value it
// replaced: how tests replace a window program's desktop services, and how a window marks a run
// under way.
template <typename Value>
class ScopedReplacement {
public:
  ScopedReplacement(Value& current, Value replacement)
      : current_(current), replaced_(std::exchange(current, std::move(replacement))) {}
  ScopedReplacement(const ScopedReplacement&) = delete;
  ScopedReplacement& operator=(const ScopedReplacement&) = delete;
  ~ScopedReplacement() { current_ = std::move(replaced_); }

private:
  Value& current_;
  Value replaced_;
};

}  // namespace tailmend

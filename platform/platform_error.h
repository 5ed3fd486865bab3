#pragma once

#include <stdexcept>
#include <string>

namespace tailmend {

// A failure of the operating system that the repair does not expect. Its text is the exact message
// shown to the user; its reason is the system's own words for what went wrong, without the file's
// name, for a report that names the file itself.
class PlatformError : public std::runtime_error {
public:
  PlatformError(const std::string& text, std::string reason)
      : std::runtime_error(text), reason_(std::move(reason)) {}
  // Where the text says no more than the reason would.
  explicit PlatformError(const std::string& text) : PlatformError(text, text) {}

  const std::string& Reason() const noexcept { return reason_; }

private:
  std::string reason_;
};

// The reason to give for whatever failure was caught: a platform error's own, or any other's text.
inline std::string FailureReasonOf(const std::exception& error) {
  const auto* platform = dynamic_cast<const PlatformError*>(&error);
  return platform ? platform->Reason() : std::string(error.what());
}

}  // namespace tailmend

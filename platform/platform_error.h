#pragma once

#include <stdexcept>
#include <string>

namespace tailmend {

// A failure of the operating system that the repair does not expect. Its text is the exact message
// shown to the user.
class PlatformError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

}  // namespace tailmend

#include <cstring>

#include "platform/system_error_text.h"

namespace tailmend {

std::string SystemMessage(int code) {
  // strerror_r comes in a GNU and an XSI flavour; strerror is enough for a single-threaded program.
  return TrimSystemMessage(std::strerror(code));
}

}  // namespace tailmend

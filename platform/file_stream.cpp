#include "platform/file_stream.h"

#include <utility>

namespace tailmend {

// What both systems share: ownership of one handle, released exactly once.

FileStream::FileStream(Handle handle) : handle_(handle) {}

FileStream::FileStream(FileStream&& other) noexcept : handle_(std::exchange(other.handle_, kNoHandle)) {}

FileStream& FileStream::operator=(FileStream&& other) noexcept {
  if (this != &other) {
    if (handle_ != kNoHandle) Release(handle_);
    handle_ = std::exchange(other.handle_, kNoHandle);
  }
  return *this;
}

FileStream::~FileStream() {
  if (handle_ != kNoHandle) Release(handle_);
}

}  // namespace tailmend

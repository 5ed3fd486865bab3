#include "platform/file_stream.h"

#include <utility>

namespace tailmend {

// What both systems share: ownership of one handle, released exactly once.

FileStream::FileStream(Handle handle, std::string path) : handle_(handle), path_(std::move(path)) {}

FileStream::FileStream(FileStream&& other) noexcept
    : handle_(std::exchange(other.handle_, kNoHandle)), path_(std::move(other.path_)) {}

FileStream& FileStream::operator=(FileStream&& other) noexcept {
  if (this != &other) {
    if (handle_ != kNoHandle) Release(handle_);
    handle_ = std::exchange(other.handle_, kNoHandle);
    path_ = std::move(other.path_);
  }
  return *this;
}

FileStream::~FileStream() {
  if (handle_ != kNoHandle) Release(handle_);
}

}  // namespace tailmend

#include "tests/support/memory_stream.h"

#include <algorithm>

#include "platform/platform_error.h"

namespace tailmend::test {

std::size_t MemoryStream::Read(void* buffer, std::size_t count) {
  if (failAfter_ && delivered_ + count > *failAfter_) throw PlatformError("read failed");
  const auto available = static_cast<std::size_t>(std::max<std::int64_t>(0, Size() - position_));
  std::size_t n = std::min(count, available);
  if (deliverable_) n = std::min(n, *deliverable_ - std::min(*deliverable_, delivered_));
  n = std::min<std::size_t>(n, bytes_.size() - std::min<std::size_t>(bytes_.size(), position_));
  // Iterators, not memcpy: an empty file has no data pointer to copy from.
  std::copy_n(bytes_.begin() + position_, n, static_cast<unsigned char*>(buffer));
  position_ += static_cast<std::int64_t>(n);
  delivered_ += n;
  return n;
}

std::size_t MemoryStream::Write(const void* buffer, std::size_t count) {
  const auto end = static_cast<std::size_t>(position_) + count;
  if (end > bytes_.size()) bytes_.resize(end);
  std::copy_n(static_cast<const unsigned char*>(buffer), count, bytes_.begin() + position_);
  position_ = static_cast<std::int64_t>(end);
  return count;
}

void MemoryStream::Seek(std::int64_t offset) { position_ = offset; }

std::int64_t MemoryStream::Size() {
  if (failSize_) throw PlatformError("size failed");
  return reportedSize_.value_or(static_cast<std::int64_t>(bytes_.size()));
}

void MemoryStream::SetEnd(std::int64_t length) {
  bytes_.resize(static_cast<std::size_t>(length));
  position_ = length;
}

}  // namespace tailmend::test

#include "tests/support/memory_stream.h"

#include <algorithm>
#include <cstring>

#include "platform/platform_error.h"

namespace tailmend::test {

std::size_t MemoryStream::Read(void* buffer, std::size_t count) {
  if (keepAccesses_) accesses_.push_back({false, position_, static_cast<std::int64_t>(count)});
  const std::int64_t wantedEnd = position_ + static_cast<std::int64_t>(count);
  const bool fails = failFrom_ && wantedEnd > *failFrom_ && (!failTo_ || position_ < *failTo_);
  std::int64_t end = std::min({wantedEnd, Size(), static_cast<std::int64_t>(bytes_.size())});
  if (readableEnd_) end = std::min(end, *readableEnd_);
  if (fails) end = std::min(end, *failFrom_);
  const auto n = static_cast<std::size_t>(std::max<std::int64_t>(0, end - position_));
  if (n > 0) std::memcpy(buffer, bytes_.data() + position_, n);
  position_ += static_cast<std::int64_t>(n);
  delivered_ += n;
  if (fails) throw PlatformError("read failed");
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

bool MemoryStream::WillRead(std::int64_t offset, std::int64_t count) {
  if (keepAccesses_) accesses_.push_back({true, offset, count});
  return takesHints_;
}

void MemoryStream::SetEnd(std::int64_t length) {
  bytes_.resize(static_cast<std::size_t>(length));
  position_ = length;
}

}  // namespace tailmend::test

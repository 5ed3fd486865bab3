#include "engine/file_bytes.h"

#include <algorithm>
#include <array>

namespace tailmend {

void FileBytes::Read(std::uint64_t offset, std::span<unsigned char> out) {
  std::size_t delivered = 0;
  if (offset < size_) {
    const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(out.size(), size_ - offset));
    stream_.Seek(static_cast<std::int64_t>(offset));
    delivered = std::min(stream_.Read(out.data(), count), count);
  }
  std::fill(out.begin() + static_cast<std::ptrdiff_t>(delivered), out.end(), 0);
}

bool FileBytes::WillRead(std::uint64_t offset, std::uint64_t count) {
  if (offset >= size_) return false;
  const std::uint64_t inside = std::min<std::uint64_t>(count, size_ - offset);
  return stream_.WillRead(static_cast<std::int64_t>(offset), static_cast<std::int64_t>(inside));
}

std::uint16_t FileBytes::U16At(std::uint64_t offset, ByteOrder order) {
  std::array<unsigned char, 2> bytes{};
  Read(offset, bytes);
  return DecodeU16(bytes.data(), order);
}

std::uint32_t FileBytes::U32At(std::uint64_t offset, ByteOrder order) {
  std::array<unsigned char, 4> bytes{};
  Read(offset, bytes);
  return DecodeU32(bytes.data(), order);
}

std::uint32_t FileBytes::U32Before(std::uint64_t end, ByteOrder order) {
  std::array<unsigned char, 4> bytes{};
  const std::uint64_t missing = end < bytes.size() ? bytes.size() - end : 0;
  Read(end + missing - bytes.size(), std::span(bytes).subspan(static_cast<std::size_t>(missing)));
  return DecodeU32(bytes.data(), order);
}

}  // namespace tailmend

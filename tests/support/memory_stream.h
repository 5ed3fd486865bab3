#pragma once

#include <cstdint>
#include <optional>

#include "platform/stream.h"
#include "tests/support/ciff_builder.h"

namespace tailmend::test {

// A file in memory whose reads can be made to fall short or fail, and whose size can be a lie.
class MemoryStream final : public Stream {
public:
  explicit MemoryStream(Bytes bytes) : bytes_(std::move(bytes)) {}

  // Every read delivers at most this many bytes in all.
  void DeliverAtMost(std::size_t total) { deliverable_ = total; }
  // Reads raise an error once this many bytes have been delivered.
  void FailReadsAfter(std::size_t total) { failAfter_ = total; }
  void ReportSize(std::int64_t size) { reportedSize_ = size; }
  void FailSize() { failSize_ = true; }

  std::size_t Read(void* buffer, std::size_t count) override;
  std::size_t Write(const void* buffer, std::size_t count) override;
  void Seek(std::int64_t offset) override;
  std::int64_t Size() override;
  void SetEnd(std::int64_t length) override;

  const Bytes& Contents() const { return bytes_; }
  std::size_t BytesRead() const { return delivered_; }

private:
  Bytes bytes_;
  std::int64_t position_ = 0;
  std::size_t delivered_ = 0;
  std::optional<std::size_t> deliverable_;
  std::optional<std::size_t> failAfter_;
  std::optional<std::int64_t> reportedSize_;
  bool failSize_ = false;
};

}  // namespace tailmend::test

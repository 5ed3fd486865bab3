#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "platform/stream.h"
#include "tests/support/ciff_builder.h"

namespace tailmend::test {

// A file in memory whose reads can be made to fall short or fail, and whose size can be a lie.
// Short and failing reads depend on where a read is, not on what was read before, like a file
// whose readable part ends at some offset: whichever order the file is read in, the same bytes
// arrive.
class MemoryStream final : public Stream {
public:
  explicit MemoryStream(Bytes bytes) : bytes_(std::move(bytes)) {}

  // Nothing from this offset on is delivered: a read reaching it comes back short.
  void ReadableUpTo(std::int64_t offset) { readableEnd_ = offset; }
  // A read reaching this offset raises an error, after it has delivered the bytes before it, as a
  // real file's read does.
  void FailReadsFrom(std::int64_t offset) { failFrom_ = offset; }
  // A read touching a byte in [from, to) raises an error, after it has delivered the bytes before
  // from: a bad spot in the middle of a file.
  void FailReadsIn(std::int64_t from, std::int64_t to) {
    failFrom_ = from;
    failTo_ = to;
  }
  void ReportSize(std::int64_t size) { reportedSize_ = size; }
  void FailSize() { failSize_ = true; }

  // What was asked of the file, in order: the reads and the hints of reads to come.
  struct Access {
    bool hint;
    std::int64_t offset;
    std::int64_t count;
  };

  std::size_t Read(void* buffer, std::size_t count) override;
  std::size_t Write(const void* buffer, std::size_t count) override;
  void Seek(std::int64_t offset) override;
  std::int64_t Size() override;
  void SetEnd(std::int64_t length) override;
  bool WillRead(std::int64_t offset, std::int64_t count) override;

  const Bytes& Contents() const { return bytes_; }
  // Hands the file's bytes back for reuse and leaves the stream empty.
  Bytes TakeContents() { return std::exchange(bytes_, {}); }
  std::size_t BytesRead() const { return delivered_; }
  // Kept only once asked for, so that thousands of reads cost nothing.
  void KeepAccesses() { keepAccesses_ = true; }
  void TakeNoHints() { takesHints_ = false; }
  const std::vector<Access>& Accesses() const { return accesses_; }

private:
  Bytes bytes_;
  std::int64_t position_ = 0;
  std::size_t delivered_ = 0;
  std::optional<std::int64_t> readableEnd_;
  std::optional<std::int64_t> failFrom_;
  std::optional<std::int64_t> failTo_;
  std::optional<std::int64_t> reportedSize_;
  bool failSize_ = false;
  bool keepAccesses_ = false;
  bool takesHints_ = true;
  std::vector<Access> accesses_;
};

}  // namespace tailmend::test

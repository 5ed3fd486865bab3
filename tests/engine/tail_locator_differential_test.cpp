// The locator reads only the end of a file, in windows, and skips most positions after quick
// tests. Whatever it reads and skips, its answer must be the one of the plain way: the whole file
// in one zero-filled buffer, read with one call, every position tested in turn. That plain way is
// kept here, and both are given the same generated files and the same faulty streams.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/tail_locator.h"
#include "platform/platform_error.h"
#include "tests/support/ciff_builder.h"
#include "tests/support/crw_cases.h"
#include "tests/support/memory_stream.h"

namespace tailmend::test {
namespace {

constexpr std::uint32_t kFloor = 655360;
constexpr std::uint32_t kSmallest = 102400;
constexpr char kSignature[20] = "CANON OPTIONAL DATA";

// Bytes from the offset at which the one read failed on are unknown; a scan that needs one of them
// cannot answer.
struct UnknownByte {};

class WholeBuffer {
public:
  WholeBuffer(const Bytes& bytes, bool big, std::uint64_t knownUpTo)
      : bytes_(bytes), big_(big), knownUpTo_(knownUpTo) {}

  std::uint64_t Size() const { return bytes_.size(); }
  // The value in the four bytes before end, in the file's byte order or big-endian.
  std::uint32_t U32Before(std::uint64_t end, bool big) const {
    std::uint32_t value = 0;
    for (int k = 0; k < 4; ++k) {
      const unsigned char byte = At(end - 4 + (big ? k : 3 - k));
      value = (value << 8) | byte;
    }
    return value;
  }
  std::uint32_t U32Before(std::uint64_t end) const { return U32Before(end, big_); }
  std::uint16_t U16At(std::uint64_t at) const {
    const unsigned high = At(big_ ? at : at + 1);
    const unsigned low = At(big_ ? at + 1 : at);
    return static_cast<std::uint16_t>((high << 8) | low);
  }
  bool MarkIs(const char* mark) const { return At(0) == mark[0] && At(1) == mark[1]; }
  bool HeaderIsCiff() const {
    for (std::uint64_t k = 0; k < 8; ++k) {
      if (At(6 + k) != static_cast<unsigned char>("HEAPCCDR"[k])) return false;
    }
    return U32At(2) == 26;
  }
  bool SignatureAt(std::uint64_t at) const {
    for (std::uint64_t k = 0; k < sizeof kSignature; ++k) {
      if (At(at + k) != static_cast<unsigned char>(kSignature[k])) return false;
    }
    return true;
  }
  std::uint32_t U32At(std::uint64_t at) const { return U32Before(at + 4); }
  bool Plausible(std::uint32_t position) const {
    const std::uint32_t distance = position - U32Before(position);
    return distance >= 52 && distance <= 112 && distance % 10 == 2;
  }
  // The root directory the pointer before a plausible position leads to holds the number of
  // entries the distance says, each stored in itself or in the heap before the directory.
  bool RootReadable(std::uint32_t position) const {
    const std::uint32_t pointer = U32Before(position);
    const std::uint64_t directory = 26 + std::uint64_t{pointer};
    const std::uint32_t entries = (position - pointer - 32) / 10;
    if (U16At(directory) != entries) return false;
    for (std::uint32_t k = 0; k < entries; ++k) {
      const std::uint64_t entry = directory + 2 + 10 * k;
      const unsigned storage = U16At(entry) >> 14;
      if (storage == 1) continue;
      if (storage != 0) return false;
      if (std::uint64_t{U32At(entry + 2)} + U32At(entry + 6) > pointer) return false;
    }
    return true;
  }

private:
  unsigned char At(std::uint64_t offset) const {
    if (offset >= knownUpTo_) throw UnknownByte{};
    return bytes_[offset];
  }

  const Bytes& bytes_;
  bool big_;
  std::uint64_t knownUpTo_;
};

// Cases in which a plausible position was passed over for its root directory.
int passedOver = 0;

TailResult ReferenceScan(const WholeBuffer& file) {
  const auto size = static_cast<std::uint32_t>(file.Size());
  if (size - 1 < kFloor) return kTailNotFound;
  const std::uint32_t last = file.U32Before(size);
  if (file.Plausible(size)) return kTailNotFound;
  const std::uint64_t directory = 26 + std::uint64_t{last};
  if (directory + 6 <= size && directory + 2 + 10 * std::uint64_t{file.U16At(directory)} + 4 == size) {
    return kTailNotFound;
  }
  for (std::uint32_t i = size - 1; i >= kFloor; --i) {
    if (!file.Plausible(i)) continue;
    if (file.U32Before(i) == last) return kTailNotFound;
    if (!file.RootReadable(i)) {
      ++passedOver;
      continue;
    }
    if (i + 28 <= size && file.SignatureAt(i)) {
      const std::uint32_t length = file.U32Before(i + 28, true);
      const std::uint64_t end = std::uint64_t{i} + 28 + length + 64;
      if (end <= size && file.SignatureAt(end - 64) && file.U32Before(end - 40, true) == length &&
          file.U32Before(end) == file.U32Before(i)) {
        return static_cast<TailResult>(end);
      }
    }
    return static_cast<TailResult>(i);
  }
  return kTailNotFound;
}

// The buffer is the caller's, so that its storage is reused from file to file.
TailResult ReferenceFindFileTail(MemoryStream& stream, Bytes& bytes) {
  try {
    const std::int64_t size = stream.Size();
    if (size < kSmallest || size >= (std::int64_t{1} << 31)) return kTailInvalidFile;
    bytes.assign(static_cast<std::size_t>(size), 0);
    std::uint64_t knownUpTo = bytes.size();
    try {
      stream.Seek(0);
      stream.Read(bytes.data(), bytes.size());
    } catch (const PlatformError&) {
      // Each case's stream is fresh: what it delivered is what this one read got.
      knownUpTo = stream.BytesRead();
    }
    const WholeBuffer marks(bytes, false, knownUpTo);
    const bool big = marks.MarkIs("MM");
    if (!big && !marks.MarkIs("II")) return kTailInvalidFile;
    const WholeBuffer file(bytes, big, knownUpTo);
    if (!file.HeaderIsCiff()) return kTailInvalidFile;
    return ReferenceScan(file);
  } catch (const std::exception&) {
    return kTailUnknownError;
  } catch (const UnknownByte&) {
    return kTailUnknownError;
  }
}

TEST(TailLocatorDifferential, AgreesWithTheWholeBufferScanOnGeneratedFiles) {
  CrwCaseMaker maker(20240607);
  Bytes wholeBuffer;
  int cut = 0;
  int notFound = 0;
  for (int n = 0; n < 3000; ++n) {
    CrwCase made = maker.Make();
    const TailResult expected = ReferenceFindFileTail(made.stream, wholeBuffer);
    ASSERT_EQ(FindFileTail(made.stream), expected) << "case " << n << ": " << made.description;
    maker.Recycle(made.stream.TakeContents());
    cut += expected > 0;
    notFound += expected == kTailNotFound;
  }
  // The generated files must reach every outcome often enough to mean something.
  EXPECT_GT(cut, 600);
  EXPECT_GT(notFound, 600);
  EXPECT_GT(passedOver, 300);
}

}  // namespace
}  // namespace tailmend::test

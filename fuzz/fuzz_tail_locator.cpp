// The tail locator, and the verdict that holds its answer, on files described by the fuzzer's
// input. A photo is far larger than a useful fuzz input, so the input describes one: its first two
// bytes choose the file's size, near the smallest CRW size or just above the lowest position the
// scan tests; of the rest, the first half is the start of the file and the second half its end.
// The space between stays zero, which no heap end can point into.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "engine/file_verdict.h"
#include "engine/tail_locator.h"
#include "tests/support/memory_stream.h"

namespace {

using tailmend::test::Bytes;

// Sizes go byte by byte over 32 KiB from each base: every alignment of the end is met, and the scan
// stays short enough for thousands of runs a second.
constexpr std::size_t kSmallBase = tailmend::kMinFileSize - 4096;
constexpr std::size_t kLargeBase = tailmend::kScanFloor - 4096;

Bytes DescribedFile(const std::uint8_t* data, std::size_t size) {
  const unsigned choice = data[0] | (data[1] << 8);
  const std::size_t base = (choice & 0x8000) != 0 ? kLargeBase : kSmallBase;
  Bytes file(base + (choice & 0x7FFF), 0);
  const std::uint8_t* rest = data + 2;
  const std::size_t restSize = size - 2;
  const std::size_t headSize = std::min(restSize / 2, file.size());
  const std::size_t tailSize = std::min(restSize - restSize / 2, file.size() - headSize);
  std::copy(rest, rest + headSize, file.begin());
  std::copy(rest + restSize - tailSize, rest + restSize, file.end() - static_cast<std::ptrdiff_t>(tailSize));
  return file;
}

bool IsValidResult(tailmend::TailResult result, std::size_t fileSize) {
  if (result == tailmend::kTailUnknownError || result == tailmend::kTailInvalidFile ||
      result == tailmend::kTailNotFound) {
    return true;
  }
  return result >= tailmend::kScanFloor && static_cast<std::size_t>(result) < fileSize;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  Bytes file = DescribedFile(data, size);
  const std::size_t fileSize = file.size();
  tailmend::test::MemoryStream stream(std::move(file));
  // The verdict is made from FindFileTail's own search (the unit tests hold the two answers to each
  // other on generated files), so one call serves both. A length to cut to must lie inside the
  // file, above the scan floor; anything else is a code.
  const tailmend::FileVerdict verdict = tailmend::JudgeFile(stream);
  if (!IsValidResult(verdict.tail, fileSize)) std::abort();
  using tailmend::Verdict;
  if (verdict.tail > 0) {
    if (verdict.verdict != Verdict::Repairable && verdict.verdict != Verdict::HeapDamaged) std::abort();
    if (verdict.junk != fileSize - static_cast<std::size_t>(verdict.tail)) std::abort();
  } else if (verdict.verdict == Verdict::Repairable) {
    std::abort();
  }
  return 0;
}

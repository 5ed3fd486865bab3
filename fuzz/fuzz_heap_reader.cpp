// The heap reader on root heaps the fuzzer writes: the input's first byte chooses the byte order
// (its lowest bit: big-endian), the rest is the root heap, after a CIFF header. Whatever the heap
// holds, the reading must end, stay within its bounds and agree with the root check.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "engine/heap_reader.h"
#include "engine/tail_locator.h"
#include "tests/support/memory_stream.h"

namespace {

using namespace tailmend;

// What the header promises.
constexpr std::size_t kMostBytesRead = 128 * 1024;

bool IsRootStructureFault(const HeapDamage& damage) {
  if (damage.depth == 0) return true;
  return damage.depth == 1 && (damage.fault == HeapFault::DataOutside || damage.fault == HeapFault::UnknownStorage);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const ByteOrder order = (data[0] & 1) != 0 ? ByteOrder::Big : ByteOrder::Little;
  test::Bytes file(kCiffHeaderSize, 0);
  file[0] = file[1] = order == ByteOrder::Big ? 'M' : 'I';
  file.insert(file.end(), data + 1, data + size);
  const HeapRange root{static_cast<std::uint32_t>(kCiffHeaderSize), static_cast<std::uint32_t>(file.size())};
  test::MemoryStream stream(std::move(file));
  FileBytes bytes(stream, root.end);

  const HeapReading reading = ReadHeap(bytes, root, order);
  if (stream.BytesRead() > kMostBytesRead) std::abort();
  if (reading.damage && reading.damage->depth > kMaxSubHeapDepth + 1) std::abort();
  if (reading.originalFileName) {
    const std::string& name = *reading.originalFileName;
    if (name.empty() || name.size() > 64) std::abort();
    if (!std::all_of(name.begin(), name.end(), [](char c) { return c >= 0x20 && c < 0x7F; })) std::abort();
  }
  if (reading.captureTime == 0u) std::abort();

  // The root check sees the same faults of the root directory, and nothing else.
  const auto rootDamage = CheckRootDirectory(bytes, root, order);
  if (rootDamage && !IsRootStructureFault(*rootDamage)) std::abort();
  if (rootDamage && (!reading.damage || (IsRootStructureFault(*reading.damage) && *reading.damage != *rootDamage))) {
    std::abort();
  }
  if (!rootDamage && reading.damage && IsRootStructureFault(*reading.damage)) std::abort();
  return 0;
}

// Writes CRW files with junk after their root heap, for trying the programs and timing them:
//   make_damaged_crw FOLDER COUNT HEAP_BYTES JUNK_BYTES [ff|zero|noise|hostile]
// Hostile junk makes every fourth position in it look like a heap end (the four bytes before it
// point 52 bytes back) whose root directory cannot be read: a scan has to pass over all of them.
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "tests/support/ciff_builder.h"
#include "tests/support/temp_dir.h"

namespace {

using tailmend::test::Bytes;

// Positions that are multiples of four, past a heap ending at heapEnd; the last four bytes stay
// zero, so that the file's own end is no heap end.
Bytes HostileJunk(std::uint32_t heapEnd, std::size_t count) {
  Bytes junk(count, 0);
  for (std::size_t at = (4 - heapEnd % 4) % 4; at + 8 <= count; at += 4) {
    const auto position = static_cast<std::uint32_t>(heapEnd + at + 4);
    tailmend::test::PutU32(junk, at, position - 52);
  }
  return junk;
}

std::optional<Bytes> JunkOfKind(const std::string& kind, std::uint32_t heapEnd, std::size_t count) {
  if (kind == "ff") return Bytes(count, 0xFF);
  if (kind == "zero") return Bytes(count, 0);
  if (kind == "noise") return tailmend::test::Noise(count, 0x9E3779B9u);
  if (kind == "hostile") return HostileJunk(heapEnd, count);
  return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
  const bool argumentsFit = argc == 5 || argc == 6;
  const auto heapEnd = static_cast<std::uint32_t>(argumentsFit ? std::strtoul(argv[3], nullptr, 10) : 0);
  const auto junk = argumentsFit ? JunkOfKind(argc == 6 ? argv[5] : "ff", heapEnd, std::strtoul(argv[4], nullptr, 10))
                                 : std::nullopt;
  if (!junk) {
    std::fputs("usage: make_damaged_crw FOLDER COUNT HEAP_BYTES JUNK_BYTES [ff|zero|noise|hostile]\n", stderr);
    return 2;
  }
  using namespace tailmend::test;
  const int count = std::atoi(argv[2]);
  const Bytes bytes = CiffBuilder().HeapEnd(heapEnd).Junk(*junk).Build();
  for (int i = 0; i < count; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "/IMG_%04d.CRW", i);
    WriteBytes(std::string(argv[1]) + name, bytes);
  }
  return 0;
}

// Writes CRW files with junk after their root heap, for trying the programs and timing them, with
// the JPEG file given as their preview:
//   make_damaged_crw FOLDER COUNT HEAP_BYTES JUNK_BYTES [ff|zero|noise [PREVIEW.jpg]]
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "tests/support/ciff_builder.h"
#include "tests/support/temp_dir.h"

namespace {

using tailmend::test::Bytes;

std::optional<Bytes> JunkOfKind(const std::string& kind, std::size_t count) {
  if (kind == "ff") return Bytes(count, 0xFF);
  if (kind == "zero") return Bytes(count, 0);
  if (kind == "noise") return tailmend::test::Noise(count, 0x9E3779B9u);
  return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
  const bool argumentsFit = argc >= 5 && argc <= 7;
  const auto junk = argumentsFit ? JunkOfKind(argc >= 6 ? argv[5] : "ff", std::strtoul(argv[4], nullptr, 10))
                                 : std::nullopt;
  if (!junk) {
    std::fputs("usage: make_damaged_crw FOLDER COUNT HEAP_BYTES JUNK_BYTES [ff|zero|noise [PREVIEW.jpg]]\n", stderr);
    return 2;
  }
  using namespace tailmend::test;
  const int count = std::atoi(argv[2]);
  const auto heapEnd = static_cast<std::uint32_t>(std::strtoul(argv[3], nullptr, 10));
  CiffBuilder photo;
  photo.HeapEnd(heapEnd).Junk(*junk);
  if (argc == 7) photo.Root({ImageData(), Value(0x2007, ReadBytes(argv[6])), ImageProperties()});
  const Bytes bytes = photo.Build();
  for (int i = 0; i < count; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "/IMG_%04d.CRW", i);
    WriteBytes(std::string(argv[1]) + name, bytes);
  }
  return 0;
}

// Writes CRW files with junk after their root heap, for trying the programs and timing them:
//   make_damaged_crw FOLDER COUNT HEAP_BYTES JUNK_BYTES
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/support/ciff_builder.h"
#include "tests/support/temp_dir.h"

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fputs("usage: make_damaged_crw FOLDER COUNT HEAP_BYTES JUNK_BYTES\n", stderr);
    return 2;
  }
  using namespace tailmend::test;
  const int count = std::atoi(argv[2]);
  const Bytes bytes = CiffBuilder()
                          .HeapEnd(static_cast<std::uint32_t>(std::strtoul(argv[3], nullptr, 10)))
                          .Junk(std::strtoul(argv[4], nullptr, 10), 0xFF)
                          .Build();
  for (int i = 0; i < count; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "/IMG_%04d.CRW", i);
    WriteBytes(std::string(argv[1]) + name, bytes);
  }
  return 0;
}

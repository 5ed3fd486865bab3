// The least a check or a repair of damaged files can cost, for scripts/bench/cli.sh to measure
// tailmend-cli against: each file's last BYTES read forwards with one read, and each file cut to
// LENGTH without reading anything, file by file:
//   tail_floor read BYTES FILE...
//   tail_floor cut LENGTH FILE...
//   tail_floor read-cut BYTES LENGTH FILE...
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <vector>

#include "platform/file_stream.h"

namespace {

void ReadLast(tailmend::FileStream& file, std::vector<unsigned char>& buffer) {
  const std::int64_t size = file.Size();
  const std::int64_t count = std::min(static_cast<std::int64_t>(buffer.size()), size);
  file.Seek(size - count);
  file.Read(buffer.data(), static_cast<std::size_t>(count));
}

}  // namespace

int main(int argc, char** argv) {
  const bool read = argc > 2 && (std::strcmp(argv[1], "read") == 0 || std::strcmp(argv[1], "read-cut") == 0);
  const bool cut = argc > 2 && (std::strcmp(argv[1], "cut") == 0 || std::strcmp(argv[1], "read-cut") == 0);
  const int firstFile = read && cut ? 4 : 3;
  if ((!read && !cut) || argc < firstFile) {
    std::fputs("usage: tail_floor read BYTES | cut LENGTH | read-cut BYTES LENGTH  FILE...\n", stderr);
    return 2;
  }
  std::vector<unsigned char> buffer(read ? std::strtoul(argv[2], nullptr, 10) : 0);
  const std::int64_t length = cut ? std::strtoll(argv[firstFile - 1], nullptr, 10) : 0;
  try {
    for (int k = firstFile; k < argc; ++k) {
      auto file = cut ? tailmend::FileStream::OpenReadWriteShared(argv[k]) : tailmend::FileStream::OpenReadSharedRead(argv[k]);
      if (read) ReadLast(file, buffer);
      if (cut) file.SetEnd(length);
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "tail_floor: %s\n", error.what());
    return 1;
  }
  return 0;
}

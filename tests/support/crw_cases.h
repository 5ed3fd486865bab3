#pragma once

#include <cstdint>
#include <initializer_list>
#include <random>
#include <sstream>
#include <string>

#include "tests/support/ciff_builder.h"
#include "tests/support/memory_stream.h"

namespace tailmend::test {

// One generated file, in the stream it is read through, with that stream's faults. Reading does
// not change what a later read delivers, so one stream serves every way of reading it.
struct CrwCase {
  MemoryStream stream;
  std::string description;
};

// Generates CRW files as the locator meets them and at the edges of its rules: heap ends near the
// scan floor and the locator's window boundaries, roots of every size, recipe trailers whole and
// broken, junk of every kind, planted pointers and root directories, files that are no CRW file or
// start late, and streams that read short, fail or lie about their size. The same seed gives the
// same files.
class CrwCaseMaker {
public:
  explicit CrwCaseMaker(std::uint32_t seed) : random_(seed) {}

  // The storage of a case done with, for the next one.
  void Recycle(Bytes bytes) { recycled_ = std::move(bytes); }

  CrwCase Make();

private:
  std::mt19937 random_;
  Bytes recycled_;

  std::uint64_t Between(std::uint64_t low, std::uint64_t high);
  bool Chance(std::uint64_t oneIn);
  template <typename T>
  T Pick(std::initializer_list<T> values) {
    return *(values.begin() + Between(0, values.size() - 1));
  }
  std::int64_t Around(std::int64_t center, std::int64_t spread);
  std::uint32_t HeapEnd();
  void ChangeStart(Bytes& bytes, std::ostringstream& text);
  void AppendJunk(Bytes& bytes, bool big, std::ostringstream& text);
  void AppendTrailer(Bytes& bytes, std::uint32_t heapEnd, std::ostringstream& text);
  void PlantPointer(Bytes& bytes, bool big, std::ostringstream& text);
  void PlantDirectory(Bytes& bytes, std::uint32_t position, bool big, std::ostringstream& text);
  void AddFaults(MemoryStream& stream, std::int64_t size, bool anywhere, std::ostringstream& text);
};

}  // namespace tailmend::test

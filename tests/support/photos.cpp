#include "tests/support/photos.h"

namespace tailmend::test {

// Junk of a byte no pointer is made of, a block and a bit long, as a card reader leaves it.
const Bytes& DamagedPhoto() {
  static const Bytes bytes = CiffBuilder().HeapEnd(kPhotoHeapEnd).Junk(5000, 0xEE).Build();
  return bytes;
}

const Bytes& HealthyPhoto() {
  static const Bytes bytes = CiffBuilder().HeapEnd(kPhotoHeapEnd).Build();
  return bytes;
}

}  // namespace tailmend::test

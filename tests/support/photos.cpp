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

Bytes PhotoWithPreview(const Bytes& jpeg) {
  return CiffBuilder().HeapEnd(kPhotoHeapEnd).Root({ImageData(), Value(0x2007, jpeg), ImageProperties()}).Junk(5000).Build();
}

}  // namespace tailmend::test

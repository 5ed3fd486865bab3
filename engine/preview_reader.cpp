#include "engine/preview_reader.h"

#include "platform/file_stream.h"
#include "platform/platform_error.h"

namespace tailmend {

namespace {

// JPEG's start-of-image marker.
constexpr unsigned char kMarker = 0xFF;
constexpr unsigned char kStartOfImage = 0xD8;

}  // namespace

std::optional<std::vector<unsigned char>> ReadPreview(Stream& stream, PreviewPlace place) {
  if (place.size < 2 || place.size > kMaxPreviewSize) return std::nullopt;
  const std::int64_t size = stream.Size();
  if (size < 0 || place.offset + place.size > static_cast<std::uint64_t>(size)) return std::nullopt;
  std::vector<unsigned char> bytes(place.size);
  stream.Seek(static_cast<std::int64_t>(place.offset));
  std::size_t delivered = 0;
  while (delivered < bytes.size()) {
    const std::size_t read = stream.Read(bytes.data() + delivered, bytes.size() - delivered);
    if (read == 0) return std::nullopt;
    delivered += read;
  }
  if (bytes[0] != kMarker || bytes[1] != kStartOfImage) return std::nullopt;
  return bytes;
}

std::optional<std::vector<unsigned char>> ReadPreviewOf(const std::string& path, PreviewPlace place) {
  try {
    FileStream stream = FileStream::OpenReadSharedRead(path);
    return ReadPreview(stream, place);
  } catch (const PlatformError&) {
    return std::nullopt;
  }
}

}  // namespace tailmend

#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/heap_reader.h"
#include "platform/stream.h"

namespace tailmend {

// Cameras store previews of a few hundred KiB; a larger one is a heap no camera wrote, and is not
// read into memory.
inline constexpr std::uint32_t kMaxPreviewSize = 16 * 1024 * 1024;

// The preview JPEG alone: the bytes at its place, when it is no larger than kMaxPreviewSize, lies
// wholly inside the file and still starts as a JPEG does (the file may have changed since its heap
// was read); none otherwise. Reads nothing else. A failed read raises PlatformError.
std::optional<std::vector<unsigned char>> ReadPreview(Stream& stream, PreviewPlace place);

// The same from the file of that name, opened for reading while others may read and write it; none
// when it cannot be opened or read either.
std::optional<std::vector<unsigned char>> ReadPreviewOf(const std::string& path, PreviewPlace place);

}  // namespace tailmend

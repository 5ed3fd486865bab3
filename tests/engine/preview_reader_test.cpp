#include <gtest/gtest.h>

#include <optional>

#include "engine/file_verdict.h"
#include "engine/preview_reader.h"
#include "platform/platform_error.h"
#include "tests/support/ciff_builder.h"
#include "tests/support/memory_stream.h"

namespace tailmend::test {
namespace {

// The verdict finds the preview where the camera put it, in either byte order, and it is read
// alone: its own bytes, nothing more.
TEST(PreviewReader, ThePreviewTheVerdictLocatesIsReadAlone) {
  Bytes jpeg = Jpeg(5000);
  for (std::size_t k = 2; k + 2 < jpeg.size(); ++k) jpeg[k] = static_cast<unsigned char>(k * 7);
  for (const bool big : {false, true}) {
    MemoryStream stream(CiffBuilder().BigEndian(big).Root({ImageData(), Value(0x2007, jpeg), ImageProperties()})
                            .Junk(3000).Build());
    const FileVerdict verdict = JudgeFile(stream);
    ASSERT_TRUE(verdict.preview.has_value()) << big;
    const std::size_t before = stream.BytesRead();
    EXPECT_EQ(ReadPreview(stream, *verdict.preview), jpeg) << big;
    EXPECT_EQ(stream.BytesRead() - before, jpeg.size()) << big;
  }
  MemoryStream thumbnailOnly(CiffBuilder().Root({ImageData(), Value(0x2008, jpeg), ImageProperties()}).Build());
  const std::optional<PreviewPlace> thumbnail = JudgeFile(thumbnailOnly).preview;
  ASSERT_TRUE(thumbnail.has_value()) << "a camera's thumbnail where it stored no preview";
  EXPECT_EQ(ReadPreview(thumbnailOnly, *thumbnail), jpeg);
}

// Nothing too large, outside the file, or no longer a JPEG (the file changed since) is read.
TEST(PreviewReader, OnlyAJpegWithinItsBoundsIsRead) {
  Bytes file(kMaxPreviewSize + 100, 0);
  file[10] = 0xFF;
  file[11] = 0xD8;
  MemoryStream stream(file);
  EXPECT_EQ(ReadPreview(stream, {10, kMaxPreviewSize}).value_or(Bytes()).size(), kMaxPreviewSize);
  EXPECT_EQ(ReadPreview(stream, {10, kMaxPreviewSize + 1}), std::nullopt) << "over 16 MiB";
  EXPECT_EQ(ReadPreview(stream, {200, static_cast<std::uint32_t>(file.size() - 199)}), std::nullopt) << "past the end";
  EXPECT_EQ(ReadPreview(stream, {12, 100}), std::nullopt) << "no JPEG there";
  EXPECT_EQ(ReadPreview(stream, {10, 1}), std::nullopt);
  stream.FailReadsFrom(50);
  EXPECT_THROW(ReadPreview(stream, {10, 100}), PlatformError);
  EXPECT_EQ(ReadPreviewOf("no such file.crw", {10, 100}), std::nullopt);
}

}  // namespace
}  // namespace tailmend::test

#include <gtest/gtest.h>

#include <array>

#include "engine/file_bytes.h"
#include "platform/platform_error.h"
#include "tests/support/memory_stream.h"

namespace tailmend::test {
namespace {

TEST(FileBytes, BytesPastTheSizeOrNotDeliveredAreZero) {
  MemoryStream stream(Bytes{1, 2, 3, 4, 5, 6, 7, 8});
  stream.ReadableUpTo(6);
  FileBytes file(stream, 7);
  std::array<unsigned char, 4> bytes{9, 9, 9, 9};
  file.Read(4, bytes);
  EXPECT_EQ(bytes, (std::array<unsigned char, 4>{5, 6, 0, 0}));
  file.Read(std::uint64_t{1} << 40, bytes);
  EXPECT_EQ(bytes, (std::array<unsigned char, 4>{0, 0, 0, 0}));
}

TEST(FileBytes, ValuesInBothByteOrders) {
  MemoryStream stream(Bytes{0x12, 0x34, 0x56, 0x78});
  FileBytes file(stream, 4);
  EXPECT_EQ(file.U16At(0, ByteOrder::Little), 0x3412);
  EXPECT_EQ(file.U16At(0, ByteOrder::Big), 0x1234);
  EXPECT_EQ(file.U32At(0, ByteOrder::Little), 0x78563412u);
  EXPECT_EQ(file.U32Before(4, ByteOrder::Big), 0x12345678u);
  // Before the start of the file, bytes count as zero.
  EXPECT_EQ(file.U32Before(2, ByteOrder::Big), 0x1234u);
  EXPECT_EQ(file.U32Before(0, ByteOrder::Little), 0u);
}

TEST(FileBytes, AFailedReadIsAnError) {
  MemoryStream stream(Bytes(100, 1));
  stream.FailReadsFrom(50);
  FileBytes file(stream, 100);
  std::array<unsigned char, 4> bytes{};
  EXPECT_NO_THROW(file.Read(10, bytes));
  EXPECT_THROW(file.Read(48, bytes), PlatformError);
}

TEST(FileBytes, HintsStayInsideTheFile) {
  MemoryStream stream(Bytes(100, 1));
  stream.KeepAccesses();
  FileBytes file(stream, 100);
  file.WillRead(90, 50);
  EXPECT_FALSE(file.WillRead(100, 10));
  file.WillRead(std::uint64_t{1} << 40, 10);
  ASSERT_EQ(stream.Accesses().size(), 1u);
  EXPECT_TRUE(stream.Accesses()[0].hint);
  EXPECT_EQ(stream.Accesses()[0].offset, 90);
  EXPECT_EQ(stream.Accesses()[0].count, 10);
}

}  // namespace
}  // namespace tailmend::test

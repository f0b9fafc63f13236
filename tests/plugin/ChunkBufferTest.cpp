#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "framework/plugin/ChunkBuffer.h"

namespace velmora {
namespace {

ChunkBuffer FromBytes(const std::vector<uint8_t>& bytes) {
  ChunkBuffer chunk;
  chunk.PutBytes(bytes.data(), static_cast<int>(bytes.size()));
  return chunk;
}

TEST(ChunkBufferTest, LittleEndianValuesAndPositionalReads) {
  ChunkBuffer chunk;
  chunk.PutInt32(0x01020304);
  EXPECT_EQ(chunk.PutDouble(1.0), 12);
  std::vector<uint8_t> expected = {4, 3, 2, 1, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F};
  EXPECT_EQ(std::vector<uint8_t>(chunk.Data(), chunk.Data() + 12), expected);
  int32_t i = 99;
  double d = 9.0;
  EXPECT_EQ(chunk.GetDouble(&d, 4), 12);
  EXPECT_EQ(d, 1.0);
  EXPECT_EQ(chunk.GetDouble(&d, 5), -1);
  EXPECT_EQ(chunk.GetInt32(&i, -1), -1);
  EXPECT_EQ(chunk.GetInt32(&i, std::numeric_limits<int>::max()), -1);
  EXPECT_EQ(i, 99);
  EXPECT_EQ(d, 1.0);
}

class GetTextTest : public ::testing::Test {
 protected:
  int Read(const std::vector<uint8_t>& bytes, int position = 0) {
    return FromBytes(bytes).GetText(&text, position);
  }
  std::string text = "previous";
};

TEST_F(GetTextTest, RoundTrip) {
  ChunkBuffer chunk;
  chunk.PutText("abc");
  EXPECT_EQ(chunk.PutText("de"), 13);
  EXPECT_EQ(chunk.GetText(&text, 7), 13);
  EXPECT_EQ(text, "de");
}

TEST_F(GetTextTest, EmptyTextReadWholeIsEmpty) {
  EXPECT_EQ(Read({0, 0, 0, 0}), 4);
  EXPECT_EQ(text, "");
}

TEST_F(GetTextTest, EmbeddedZeroCutsTheText) {
  EXPECT_EQ(Read({5, 0, 0, 0, 'a', 'b', 0, 'c', 'd'}), 9);
  EXPECT_EQ(text, "ab");
}

TEST_F(GetTextTest, ShortChunks) {
  EXPECT_EQ(Read({10, 0, 0, 0, 'a', 'b'}), 14);  // passes the end: the next read fails
  EXPECT_EQ(Read({1, 0, 0}), -1);
  EXPECT_EQ(Read({1, 0, 0, 0, 'a'}, -1), -1);
  EXPECT_EQ(text, "previous");
}

TEST_F(GetTextTest, HugeLengthPrefixDoesNotOverflowThePosition) {
  EXPECT_EQ(Read({0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x7F, 'x'}, 4), -1);
  EXPECT_EQ(Read({0xFB, 0xFF, 0xFF, 0x7F, 'x'}), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(text, "previous");
}

TEST_F(GetTextTest, NegativeLengthPrefixIsADamagedChunk) {
  EXPECT_EQ(Read({0xFC, 0xFF, 0xFF, 0xFF, 'a', 'b'}), -1);
  EXPECT_EQ(Read({0, 0, 0, 0x80, 'a', 'b'}), -1);
  EXPECT_EQ(text, "previous");
}

}  // namespace
}  // namespace velmora

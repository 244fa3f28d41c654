// The RIFF chunk header reader both WAVE readers stand on: it never reads past the bytes, and it
// tells a body the bytes cut short from a whole one.
#include "base/little_endian.h"

#include <gtest/gtest.h>

#include "case_name.h"

namespace zv {
namespace {

struct ChunkCase {
  std::string name, bytes;
  size_t at;
  bool found;
  uint32_t declared;
  std::string body;
};

class RiffChunkTest : public testing::TestWithParam<ChunkCase> {};

TEST_P(RiffChunkTest, ReadsOnlyWhatIsThere) {
  const ChunkCase& c = GetParam();
  const std::optional<RiffChunk> chunk = ReadRiffChunk(c.bytes, c.at);
  ASSERT_EQ(chunk.has_value(), c.found);
  if (!chunk) return;
  EXPECT_EQ(chunk->id, c.bytes.substr(c.at, 4));
  EXPECT_EQ(chunk->declared, c.declared);
  EXPECT_EQ(chunk->body, c.body);
}

const std::string kTwoChunks = std::string("data\x03\0\0\0abcXjunk\x02\0\0\0", 20) + "zz";

INSTANTIATE_TEST_SUITE_P(
    Table, RiffChunkTest,
    testing::Values(ChunkCase{"whole", kTwoChunks, 0, true, 3, "abc"},
                    ChunkCase{"secondAfterThePad", kTwoChunks, 12, true, 2, "zz"},
                    ChunkCase{"bodyCutShort", kTwoChunks.substr(0, 10), 0, true, 3, "ab"},
                    ChunkCase{"headerOnly", kTwoChunks.substr(0, 8), 0, true, 3, ""},
                    ChunkCase{"headerCutOff", kTwoChunks.substr(0, 7), 0, false, 0, ""},
                    ChunkCase{"atTheEnd", kTwoChunks, kTwoChunks.size(), false, 0, ""},
                    ChunkCase{"pastTheEnd", kTwoChunks, kTwoChunks.size() + 9, false, 0, ""},
                    ChunkCase{"hugeDeclared", std::string("LIST\xFF\xFF\xFF\xFFq", 9), 0, true,
                              0xFFFFFFFF, "q"}),
    test::NamedBy([](const ChunkCase& c) { return c.name; }));

}  // namespace
}  // namespace zv

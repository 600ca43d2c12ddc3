#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "core/formats/binary_reader.h"
#include "core/image.h"
#include "tests/core/formats/scripted_source.h"

namespace romprog::testing {
namespace {

ReadStatus Binary(ByteSource& source, std::uint8_t* image, int activeSize, std::int64_t size) {
  return BinaryReader().Read(source, size, image, activeSize).status;
}

TEST(BinaryReader, ReadsUpToTheActiveSizeAndFailsOnErrorsOrShortReads) {
  std::string content(10000, '\0');
  for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7);
  std::vector<std::uint8_t> image(kBufferSize, 0xFF);

  ScriptedSource pieces(content, {1000, 3000, 5000});  // delivered in pieces
  EXPECT_EQ(Binary(pieces, image.data(), 8192, 10000), ReadStatus::Read);
  EXPECT_EQ(std::memcmp(image.data(), content.data(), 8192), 0);
  EXPECT_EQ(image[8192], 0xFF);

  ScriptedSource failing(content, {4096, -1});
  EXPECT_NE(Binary(failing, image.data(), 8192, 10000), ReadStatus::Read);
  ScriptedSource cut(content, {4096, 0});  // ends before the size it claimed
  EXPECT_NE(Binary(cut, image.data(), 8192, 10000), ReadStatus::Read);
  ScriptedSource small(content, {100});
  EXPECT_EQ(Binary(small, image.data(), 32768, 100), ReadStatus::Read);
  ScriptedSource empty("", {});
  EXPECT_EQ(Binary(empty, image.data(), 32768, 0), ReadStatus::Read);
}

}  // namespace
}  // namespace romprog::testing

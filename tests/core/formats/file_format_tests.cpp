#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "core/formats/binary_reader.h"
#include "core/formats/file_content.h"
#include "core/formats/file_format.h"
#include "core/formats/intel_hex_reader.h"
#include "core/image.h"
#include "tests/core/formats/scripted_source.h"

namespace romprog::testing {
namespace {

TEST(ReaderFor, EachProgramReadsByItsOwnRules) {
  // The window program knows no S-records: they open as raw images.
  for (const char* name : {"rom.s19", "rom.srec", "ROM.MOT", "rom.s28"}) {
    EXPECT_EQ(ReaderFor(name, Reading::WindowProgram).Format(), FileFormat::Binary) << name;
    EXPECT_EQ(ReaderFor(name, Reading::Strict).Format(), FileFormat::SRecord) << name;
    EXPECT_EQ(ReaderFor(name, Reading::LenientHex).Format(), FileFormat::SRecord) << name;
  }
  // A checksum off by one is refused by romtool's default reader only.
  const std::string text = ":0100000042BE\r\n";
  std::vector<std::uint8_t> image(kBufferSize, 0xFF);
  const std::pair<Reading, ReadStatus> rules[] = {{Reading::Strict, ReadStatus::Damaged},
                                                  {Reading::LenientHex, ReadStatus::Read},
                                                  {Reading::WindowProgram, ReadStatus::Read}};
  for (const auto& [reading, status] : rules) {
    ScriptedSource source(text, {100});
    EXPECT_EQ(ReaderFor("ROM.HEX", reading).Read(source, 15, image.data(), 8192).status, status);
  }
  // ".s28" writes 24-bit addresses.
  EXPECT_NE(WriterFor(KindOf("ROM.S28")).Write(image.data(), 8192).find("\r\nS224000000"),
            std::string::npos);
}

}  // namespace
}  // namespace romprog::testing

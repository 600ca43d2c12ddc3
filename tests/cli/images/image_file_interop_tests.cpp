// S-records made by srec_cat (srecord) load to the same bytes, and the ones
// romtool writes pass srec_cat's checks and convert back to the same image.
#include <gtest/gtest.h>

#include <cstdlib>

#include "cli/images/image_file.h"
#include "core/image.h"
#include "tests/support/cli_test_support.h"

namespace romtool::testing {
namespace {

void Shell(const std::string& command) {
  ASSERT_EQ(std::system((command + " 2>&1").c_str()), 0) << command;
}

std::string Loaded(const std::string& path, int activeSize) {
  std::vector<std::uint8_t> image(romprog::kBufferSize);
  std::string note, error;
  EXPECT_TRUE(LoadImage(path, activeSize, image.data(), note, error)) << path << ": " << error;
  return std::string(image.begin(), image.begin() + activeSize);
}

struct SRecordInterop : ::testing::Test {
  TempDir dir;
  const std::string image = RandomBytes(32768, 1987);
  void SetUp() override { WriteWhole(dir / "image.bin", image); }
};

TEST_F(SRecordInterop, SrecCatFilesLoadToTheSameBytes) {
  const std::string bin = dir / "image.bin";
  Shell("srec_cat " + bin + " -binary -o " + dir / "plain.srec" + " -motorola");
  Shell("srec_cat " + bin + " -binary -o " + dir / "long.s19" + " -motorola -obs=250");
  Shell("srec_cat " + bin + " -binary -o " + dir / "wide.s28" + " -motorola -address-length=3");
  Shell("srec_cat " + bin + " -binary -o " + dir / "widest.mot" + " -motorola -address-length=4");
  for (const char* name : {"plain.srec", "long.s19", "wide.s28", "widest.mot"}) {
    EXPECT_EQ(Loaded(dir / name, 32768), image) << name;
    // A smaller chip would lose the top of the image: refused.
    std::vector<std::uint8_t> part(romprog::kBufferSize);
    std::string note, error;
    EXPECT_FALSE(LoadImage(dir / name, 8192, part.data(), note, error)) << name;
    EXPECT_NE(error.find("lies outside the chip (0x2000 bytes)"), std::string::npos) << error;
  }
}

TEST_F(SRecordInterop, OurFilesPassSrecCatAndConvertBack) {
  std::vector<std::uint8_t> bytes(image.begin(), image.end());
  for (const char* name : {"out.srec", "out.s28"}) {
    for (int size : {8192, 32768}) {
      std::string error;
      ASSERT_TRUE(SaveImage(dir / name, bytes.data(), size, error)) << error;
      // srec_cat refuses a file whose checksums or counts are wrong.
      Shell("srec_cat " + dir / name + " -motorola -o " + dir / "back.bin" + " -binary");
      EXPECT_EQ(ReadWhole(dir / "back.bin"), image.substr(0, size)) << name << " " << size;
    }
  }
}

TEST_F(SRecordInterop, IntelHexAndSRecordsOfOneImageAgree) {
  std::vector<std::uint8_t> bytes(image.begin(), image.end());
  std::string error;
  ASSERT_TRUE(SaveImage(dir / "ours.hex", bytes.data(), 16384, error));
  Shell("srec_cat " + dir / "ours.hex" + " -intel -o " + dir / "theirs.srec" + " -motorola");
  EXPECT_EQ(Loaded(dir / "theirs.srec", 16384), image.substr(0, 16384));
}

// A 6502 monitor at 0xE000-0xFFFF: what srec_cat -offset -0xE000 makes of it.
TEST_F(SRecordInterop, AMonitorAtItsOwnAddressMapsAsSrecCatOffsetsIt) {
  const std::string mon = dir / "mon.hex";
  Shell("srec_cat " + dir / "image.bin" + " -binary -crop 0 0x2000 -offset 0xE000 -o " + mon +
        " -intel");
  Shell("srec_cat " + mon + " -intel -offset -0xE000 -o " + dir / "theirs.bin" + " -binary");
  std::vector<std::uint8_t> ours(romprog::kBufferSize);
  std::string note, error;
  LoadRules rules;
  rules.autoBase = true;
  ASSERT_TRUE(LoadImage(mon, 8192, ours.data(), note, error, rules)) << error;
  EXPECT_EQ(std::string(ours.begin(), ours.begin() + 8192), ReadWhole(dir / "theirs.bin"));
  EXPECT_FALSE(LoadImage(mon, 8192, ours.data(), note, error));
  EXPECT_NE(error.find("add --base 0xE000"), std::string::npos) << error;
}

}  // namespace
}  // namespace romtool::testing

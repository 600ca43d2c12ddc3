// Intel HEX made by tools nobody here wrote loads to the same bytes, and the
// files this program writes read back with those tools to the same image.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "core/image.h"
#include "platform/image_files.h"
#include "tests/support/files_test_support.h"

namespace romprog::testing {
namespace {

std::string RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& b : bytes) b = static_cast<char>(random());
  return bytes;
}

void Shell(const std::string& command) {
  ASSERT_EQ(std::system((command + " 2>&1").c_str()), 0) << command;
}

// Loads `path` as the open command does; `extent` receives the end of the highest record.
std::string Loaded(const std::string& path, int activeSize, int& extent) {
  std::vector<std::uint8_t> image(kBufferSize);
  const LoadResult result = LoadImageFile(path, Reading::WindowProgram, activeSize, image.data());
  EXPECT_TRUE(result.loaded && result.format == FileFormat::IntelHex) << path;
  extent = result.read.loadedExtent;
  return std::string(image.begin(), image.end());
}

struct Interop : ::testing::Test {
  TempDir dir;
  const std::string image = RandomBytes(kBufferSize, 27256);
  void SetUp() override { WriteWhole(dir / "image.bin", image); }
};

TEST_F(Interop, HexFromObjcopyAndSrecCatLoadsToTheSameBytes) {
  const std::string bin = dir / "image.bin";
  Shell("objcopy -I binary -O ihex " + bin + " " + dir / "objcopy.hex");
  Shell("srec_cat " + bin + " -binary -o " + dir / "srec.hex" + " -intel");
  Shell("srec_cat " + bin + " -binary -o " + dir / "srec255.hex" + " -intel -obs=255");
  Shell("srec_cat " + bin + " -binary -o " + dir / "srec_cr.hex" + " -intel -line-termination=cr");
  for (const char* name : {"objcopy.hex", "srec.hex", "srec255.hex", "srec_cr.hex"}) {
    int extent = 0;
    EXPECT_EQ(Loaded(dir / name, 32768, extent), image) << name;
    EXPECT_EQ(extent, 32768) << name;
    // With the smallest chip only records starting below 8192 count, the
    // last of them whole, however the tool cut its records.
    const std::string small = Loaded(dir / name, 8192, extent);
    EXPECT_GE(extent, 8192) << name;
    EXPECT_LT(extent, 8192 + 255) << name;
    EXPECT_EQ(small.substr(0, extent), image.substr(0, extent)) << name;
    EXPECT_EQ(small.find_first_not_of('\xFF', extent), std::string::npos) << name;
  }
}

TEST_F(Interop, GapsInAToolsFileStayErased) {
  WriteWhole(dir / "part.bin", image.substr(0, 100));
  Shell("srec_cat " + dir / "part.bin" + " -binary -offset 0x1000 -o " + dir / "part.hex" +
        " -intel");
  int extent = 0;
  const std::string loaded = Loaded(dir / "part.hex", 8192, extent);
  EXPECT_EQ(extent, 0x1000 + 100);
  EXPECT_EQ(loaded.substr(0x1000, 100), image.substr(0, 100));
  EXPECT_EQ(loaded.substr(0, 0x1000), std::string(0x1000, '\xFF'));
  EXPECT_EQ(loaded.find_first_not_of('\xFF', 0x1000 + 100), std::string::npos);
}

TEST_F(Interop, OurHexReadsBackWithSrecCatAndObjcopy) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(image.data());
  for (int size : {8192, 16384, 32768}) {
    const std::string hex = dir / ("ours" + std::to_string(size) + ".hex");
    ASSERT_TRUE(SaveImage(hex, {FileFormat::IntelHex}, bytes, size));
    Shell("srec_cat " + hex + " -intel -o " + dir / "srec.bin" + " -binary");
    Shell("objcopy -I ihex -O binary " + hex + " " + dir / "objcopy.bin");
    EXPECT_EQ(ReadWhole(dir / "srec.bin"), image.substr(0, size)) << size;
    EXPECT_EQ(ReadWhole(dir / "objcopy.bin"), image.substr(0, size)) << size;
  }
}

}  // namespace
}  // namespace romprog::testing

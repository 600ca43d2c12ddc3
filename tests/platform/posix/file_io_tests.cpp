#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/file_io.h"
#include "tests/support/files_test_support.h"

namespace romprog::testing {
namespace {

const std::uint8_t* Bytes(const std::string& s) {
  return reinterpret_cast<const std::uint8_t*>(s.data());
}

TEST(InputFile, ReadsSizesAndRefusesWhatIsNotThere) {
  TempDir dir;
  WriteWhole(dir / "a.bin", "hello");
  InputFile file(dir / "a.bin");
  ASSERT_TRUE(file.IsOpen());
  EXPECT_EQ(file.Size(), 5);
  std::uint8_t got[8] = {};
  EXPECT_EQ(file.Read(got, sizeof got), 5);
  EXPECT_EQ(std::memcmp(got, "hello", 5), 0);
  EXPECT_EQ(file.Read(got, sizeof got), 0);

  InputFile missing(dir / "none.bin");
  EXPECT_FALSE(missing.IsOpen());
  EXPECT_EQ(missing.Size(), -1);
  EXPECT_EQ(missing.Read(got, sizeof got), -1);
  EXPECT_EQ(missing.Problem(), "No such file or directory");
  EXPECT_EQ(file.Problem(), "");

  InputFile folder(dir / ".");  // opens here, but cannot be read
  EXPECT_EQ(folder.Read(got, sizeof got), -1);
  EXPECT_EQ(folder.Problem(), "Is a directory");
}

TEST(InputFile, SizesBeyondFourGibibytesAreExact) {
  TempDir dir;
  const std::int64_t huge = (std::int64_t{5} << 30) + 3;
  { std::ofstream(dir / "huge.bin").put('x'); }
  std::filesystem::resize_file(dir / "huge.bin", static_cast<std::uintmax_t>(huge));  // sparse
  InputFile file(dir / "huge.bin");
  EXPECT_EQ(file.Size(), huge);
}

TEST(WriteWholeFile, CreatesAndReplacesLeavingNoTemporaryFile) {
  TempDir dir;
  const std::string path = dir / "rom.bin";
  ASSERT_TRUE(WriteWholeFile(path, Bytes("first content"), 13));
  EXPECT_EQ(ReadWhole(path), "first content");
  ASSERT_TRUE(WriteWholeFile(path, Bytes("2nd"), 3));
  EXPECT_EQ(ReadWhole(path), "2nd");
  ASSERT_TRUE(WriteWholeFile(path, Bytes(""), 0));
  EXPECT_EQ(ReadWhole(path), "");
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"rom.bin"});
}

TEST(WriteWholeFile, StepsAroundAFileInTheWayOfItsTemporaryName) {
  TempDir dir;
  WriteWhole(dir / "rom.hex.~0", "someone else's");
  ASSERT_TRUE(WriteWholeFile(dir / "rom.hex", Bytes("mine"), 4));
  EXPECT_EQ(ReadWhole(dir / "rom.hex"), "mine");
  EXPECT_EQ(ReadWhole(dir / "rom.hex.~0"), "someone else's");
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"rom.hex", "rom.hex.~0"}));
}

TEST(WriteWholeFile, FailedWriteKeepsTheOldFile) {
  TempDir dir;
  const std::string path = dir / "rom.hex";
  WriteWhole(path, "the user's old file");
  const std::string big(23053, 'A');
  {
    FileSizeLimit full(1000);
    EXPECT_FALSE(WriteWholeFile(path, Bytes(big), big.size()));
  }
  EXPECT_EQ(ReadWhole(path), "the user's old file");
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"rom.hex"});
}

TEST(WriteWholeFile, UncreatableOrUnreplaceableTargetsFail) {
  TempDir dir;
  Text problem;
  EXPECT_FALSE(WriteWholeFile(dir / "gone/rom.bin", Bytes("x"), 1, problem));
  EXPECT_EQ(problem, "No such file or directory");
  EXPECT_FALSE(WriteWholeFile("/proc/romprog-test.bin", Bytes("x"), 1));
  std::filesystem::create_directory(dir / "taken.bin");
  WriteWhole(dir / "taken.bin/inside", "x");
  EXPECT_FALSE(WriteWholeFile(dir / "taken.bin", Bytes("x"), 1));
  EXPECT_TRUE(std::filesystem::is_directory(dir / "taken.bin"));
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"taken.bin"});
}

}  // namespace
}  // namespace romprog::testing

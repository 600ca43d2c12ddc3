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
#include "platform/file_io.h"
#include "platform/image_files.h"
#include "tests/unit/files_test_support.h"

namespace romprog::testing {
namespace {

const std::uint8_t* Bytes(const std::string& s) {
  return reinterpret_cast<const std::uint8_t*>(s.data());
}

// Hands out scripted pieces; a piece of -1 is a read error.
class ScriptedSource : public ByteSource {
 public:
  ScriptedSource(std::string content, std::deque<int> pieces)
      : content_(std::move(content)), pieces_(std::move(pieces)) {}
  std::int64_t Read(std::uint8_t* data, std::size_t size) override {
    if (pieces_.empty()) return 0;
    const int piece = pieces_.front();
    pieces_.pop_front();
    if (piece < 0) return -1;
    const std::size_t n = std::min({static_cast<std::size_t>(piece), size, content_.size() - at_});
    std::memcpy(data, content_.data() + at_, n);
    at_ += n;
    return static_cast<std::int64_t>(n);
  }

 private:
  std::string content_;
  std::deque<int> pieces_;
  std::size_t at_ = 0;
};

ReadStatus Binary(ByteSource& source, std::uint8_t* image, int activeSize, std::int64_t size) {
  return BinaryReader().Read(source, size, image, activeSize).status;
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

TEST(LenientHexReader, AReadErrorFailsTheLoad) {
  const std::string text = ":0100000011\r\n:0100100022\r\n";
  std::vector<std::uint8_t> image(kBufferSize, 0xFF);
  ScriptedSource good(text, {5, 5, 100});
  const ImageRead read = LenientHexReader().Read(good, 0, image.data(), 8192);
  EXPECT_EQ(read.status, ReadStatus::Read);
  EXPECT_EQ(read.loadedExtent, 0x11);
  EXPECT_EQ(image[0x10], 0x22);
  ScriptedSource bad(text, {13, -1});
  EXPECT_NE(LenientHexReader().Read(bad, 0, image.data(), 8192).status, ReadStatus::Read);
}

// Loaded as the window program loads it, for the smallest chip.
LoadResult Window(const std::string& path, std::vector<std::uint8_t>& image) {
  return LoadImageFile(path, Reading::WindowProgram, 8192, image.data());
}

TEST(LoadImageFile, ExtensionChoosesTheReaderAndTheImageStartsAllFf) {
  TempDir dir;
  const std::string hex = ":0200000041420B\r\n";
  std::vector<std::uint8_t> image(kBufferSize, 0x00);
  const std::vector<std::pair<std::string, bool>> names = {
      {"ROM.HEX", true},  {"rom.hex", true}, {"rom.Hex", true},     {"rom.bin", false},
      {"rom.txt", false}, {"rom", false},    {"rom.hex.bak", false}};
  for (const auto& [name, asHex] : names) {
    WriteWhole(dir / name, hex);
    std::fill(image.begin(), image.end(), 0x00);
    const LoadResult result =
        LoadImageFile(dir / name, Reading::WindowProgram, 32768, image.data());
    EXPECT_TRUE(result.loaded) << name;
    EXPECT_EQ(result.format == FileFormat::IntelHex, asHex) << name;
    if (asHex) {
      EXPECT_EQ(result.read.loadedExtent, 2);
      EXPECT_EQ(image[0], 'A');
      EXPECT_EQ(image[1], 'B');
      EXPECT_EQ(image[2], 0xFF);
    } else {
      EXPECT_EQ(result.fileSize, static_cast<std::int64_t>(hex.size()));
      EXPECT_EQ(std::memcmp(image.data(), hex.data(), hex.size()), 0) << name;
      EXPECT_EQ(image[hex.size()], 0xFF);
    }
    EXPECT_EQ(image[kBufferSize - 1], 0xFF);
  }
  // Inside a folder whose name has a dot the file has no extension.
  std::filesystem::create_directory(dir / "roms.hex");
  WriteWhole(dir / "roms.hex/rom", hex);
  EXPECT_NE(Window(dir / "roms.hex/rom", image).format, FileFormat::IntelHex);

  EXPECT_FALSE(Window(dir / "missing.bin", image).loaded);
  EXPECT_FALSE(Window(dir / "missing.hex", image).loaded);
  EXPECT_FALSE(Window(dir / "roms.hex", image).loaded);  // a folder
}

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

TEST(LoadImageFile, RomtoolGoesByTheFirstRecordTheWindowProgramByTheName) {
  TempDir dir;
  const std::string hex = "\r\n  \n:0200000041427B\r\n:00000001FF\r\n";
  const std::string sRecords = "S1050000414277\nS9030000FC\n";
  const struct {
    const char* name;
    const std::string& content;
    FileFormat romtool;
    FileFormat window;
  } cases[] = {
      {"rom.ihx", hex, FileFormat::IntelHex, FileFormat::Binary},
      {"ROM.OBJ", hex, FileFormat::IntelHex, FileFormat::Binary},
      {"rom.run", hex, FileFormat::IntelHex, FileFormat::Binary},
      {"rom.s19", hex, FileFormat::IntelHex, FileFormat::Binary},
      {"rom.HEX", sRecords, FileFormat::SRecord, FileFormat::IntelHex},
  };
  std::vector<std::uint8_t> image(kBufferSize);
  for (const auto& c : cases) {
    WriteWhole(dir / c.name, c.content);
    const LoadResult strict = LoadImageFile(dir / c.name, Reading::Strict, 8192, image.data());
    EXPECT_TRUE(strict.loaded) << c.name << ": " << strict.read.error;
    EXPECT_EQ(strict.format, c.romtool) << c.name;
    EXPECT_EQ(strict.shown, c.romtool) << c.name;
    EXPECT_EQ(image[0], 'A') << c.name;
    EXPECT_EQ(image[1], 'B') << c.name;
    EXPECT_EQ(LoadImageFile(dir / c.name, Reading::LenientHex, 8192, image.data()).format,
              c.romtool);
    EXPECT_EQ(Window(dir / c.name, image).format, c.window) << c.name;
  }
  // A format given overrides what the file shows.
  const LoadResult raw =
      LoadImageFile(dir / "rom.HEX", Reading::Strict, 8192, image.data(), FileFormat::Binary);
  EXPECT_TRUE(raw.loaded);
  EXPECT_EQ(raw.format, FileFormat::Binary);
  EXPECT_EQ(image[0], 'S');
  EXPECT_EQ(
      LoadImageFile(dir / "rom.HEX", Reading::Strict, 8192, image.data(), FileFormat::IntelHex)
          .read.status,
      ReadStatus::Damaged);
  // Neither shows itself: a record mark followed by a control byte, text.
  for (const std::string& head :
       {std::string(":10\x01", 4), std::string("S1 notes\n"), std::string("; :10 comment\n"),
        std::string(":-) 10 hex\n"), std::string("S-1 note\n")}) {
    EXPECT_FALSE(FormatOfRecords(Bytes(head), head.size())) << head;
  }
  EXPECT_EQ(FormatCalled("ihex"), FileFormat::IntelHex);
  EXPECT_EQ(FormatCalled("srec"), FileFormat::SRecord);
  EXPECT_EQ(FormatCalled("bin"), FileFormat::Binary);
  EXPECT_FALSE(FormatCalled("hex"));
}

}  // namespace
}  // namespace romprog::testing

#include "core/formats/file_format.h"

#include <array>

#include "core/file_extension.h"
#include "core/formats/binary_reader.h"
#include "core/formats/binary_writer.h"
#include "core/formats/file_content.h"
#include "core/formats/intel_hex_reader.h"
#include "core/formats/intel_hex_strict_reader.h"
#include "core/formats/intel_hex_writer.h"
#include "core/formats/srecord_reader.h"
#include "core/formats/srecord_writer.h"

namespace romprog {
namespace {

constexpr std::size_t kReadings = 3;

struct FormatRow {
  std::array<const char*, 3> extensions;  // unused places nullptr
  FileKind kind;
  const char* name;
  const char* word;                                   // romtool's --format
  std::array<const ImageReader*, kReadings> readers;  // by Reading
  const ImageWriter* writer;
};

// The first row of a format stands for it; the last row also takes every
// name no row lists.
const std::array<FormatRow, 5>& Formats() {
  static const LenientHexReader lenientHex;
  static const StrictHexReader strictHex;
  static const SRecordReader sRecords;
  static const BinaryReader binary;
  static const IntelHexWriter intelHex;
  static const SRecordWriter sRecords16(2);
  static const SRecordWriter sRecords24(3);
  static const BinaryWriter binaryWriter;
  // Readers: the window program's, romtool's strict and its --lenient one.
  // The window program knows Intel HEX by ".hex" alone and no S-records.
  // clang-format off
  static const std::array<FormatRow, 5> rows{{
      // extensions           kind                       name         word
      {{"hex"},               {FileFormat::IntelHex, 0}, "Intel HEX", "ihex",
       {&lenientHex, &strictHex, &lenientHex}, &intelHex},
      {{"ihx", "ihex"},       {FileFormat::IntelHex, 0}, "Intel HEX", "ihex",
       {&binary, &strictHex, &lenientHex},     &intelHex},
      {{"srec", "s19", "mot"}, {FileFormat::SRecord, 2}, "S-record",  "srec",
       {&binary, &sRecords, &sRecords},        &sRecords16},
      {{"s28"},               {FileFormat::SRecord, 3},  "S-record",  "srec",
       {&binary, &sRecords, &sRecords},        &sRecords24},
      {{"bin"},               {FileFormat::Binary, 0},   "binary",    "bin",
       {&binary, &binary, &binary},            &binaryWriter},
  }};
  // clang-format on
  return rows;
}

const FormatRow* RowNamed(const Text& name) {
  const Text extension = FileExtension(name);
  for (const FormatRow& row : Formats()) {
    for (const char* listed : row.extensions) {
      if (listed != nullptr && extension == listed) return &row;
    }
  }
  return nullptr;
}

const FormatRow& RowFor(const Text& name) {
  const FormatRow* row = RowNamed(name);
  return row != nullptr ? *row : Formats().back();
}

const FormatRow& RowOf(FileFormat format) {
  for (const FormatRow& row : Formats()) {
    if (row.kind.format == format) return row;
  }
  return Formats().back();
}

}  // namespace

FileKind KindOf(const Text& name) {
  return RowFor(name).kind;
}

std::optional<FileFormat> FormatClaimedBy(const Text& name) {
  const FormatRow* row = RowNamed(name);
  if (row == nullptr) return std::nullopt;
  return row->kind.format;
}

const char* FormatName(FileFormat format) {
  return RowOf(format).name;
}

std::optional<FileFormat> FormatCalled(const Text& word) {
  for (const FormatRow& row : Formats()) {
    if (word == row.word) return row.kind.format;
  }
  return std::nullopt;
}

const ImageReader& ReaderFor(const Text& name, Reading reading) {
  return *RowFor(name).readers[static_cast<std::size_t>(reading)];
}

const ImageReader& ReaderFor(FileFormat format, Reading reading) {
  return *RowOf(format).readers[static_cast<std::size_t>(reading)];
}

const ImageWriter& WriterFor(const FileKind& kind) {
  for (const FormatRow& row : Formats()) {
    if (row.kind.format == kind.format &&
        (kind.format != FileFormat::SRecord || row.kind.addressBytes == kind.addressBytes)) {
      return *row.writer;
    }
  }
  return *RowOf(kind.format).writer;
}

FileFormat FormatToRead(const Text& name, const std::uint8_t* head, std::size_t size,
                        std::optional<FileFormat> forced) {
  if (forced) return *forced;
  if (const std::optional<FileFormat> shown = FormatOfRecords(head, size)) return *shown;
  return KindOf(name).format;
}

}  // namespace romprog

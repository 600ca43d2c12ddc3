#include "core/formats/file_format.h"

#include "core/file_extension.h"
#include "core/formats/binary_reader.h"
#include "core/formats/binary_writer.h"
#include "core/formats/intel_hex_reader.h"
#include "core/formats/intel_hex_strict_reader.h"
#include "core/formats/intel_hex_writer.h"
#include "core/formats/srecord_reader.h"
#include "core/formats/srecord_writer.h"

namespace romprog {

FileKind KindOf(const Text& name) {
  const Text extension = FileExtension(name);
  if (extension == "hex") return {FileFormat::IntelHex, 0};
  if (extension == "srec" || extension == "s19" || extension == "mot") {
    return {FileFormat::SRecord, 2};
  }
  if (extension == "s28") return {FileFormat::SRecord, 3};
  return {FileFormat::Binary, 0};
}

const char* FormatName(FileFormat format) {
  switch (format) {
    case FileFormat::IntelHex:
      return "Intel HEX";
    case FileFormat::SRecord:
      return "S-record";
    case FileFormat::Binary:
      break;
  }
  return "binary";
}

const ImageReader& ReaderFor(const Text& name, Reading reading) {
  static const LenientHexReader lenientHex;
  static const StrictHexReader strictHex;
  static const SRecordReader sRecords;
  static const BinaryReader binary;
  switch (KindOf(name).format) {
    case FileFormat::IntelHex:
      if (reading == Reading::Strict) return strictHex;
      return lenientHex;
    case FileFormat::SRecord:
      if (reading != Reading::WindowProgram) return sRecords;
      break;
    case FileFormat::Binary:
      break;
  }
  return binary;
}

const ImageWriter& WriterFor(const FileKind& kind) {
  static const IntelHexWriter intelHex;
  static const SRecordWriter sRecords16(2);
  static const SRecordWriter sRecords24(3);
  static const BinaryWriter binary;
  switch (kind.format) {
    case FileFormat::IntelHex:
      return intelHex;
    case FileFormat::SRecord:
      return kind.addressBytes == 3 ? sRecords24 : sRecords16;
    case FileFormat::Binary:
      break;
  }
  return binary;
}

}  // namespace romprog

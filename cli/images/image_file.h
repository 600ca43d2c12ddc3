// The image files romtool reads and writes. By their name: ".hex", ".ihx",
// ".ihex" Intel HEX; ".srec", ".s19", ".mot" S-records with 16-bit addresses,
// ".s28" with 24-bit ones; anything else a raw binary image. A file is read
// by what its first record shows, whatever its name says.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/formats/file_format.h"

namespace romtool {

using romprog::FileFormat;
using romprog::FileKind;
using romprog::FormatCalled;
using romprog::FormatName;
using romprog::KindOf;

// How romtool takes an image file.
struct LoadRules {
  bool lenient = false;              // Intel HEX by the window program's reading rules
  std::optional<FileFormat> format;  // read as this, whatever the file holds or is named
  bool truncate = false;             // a raw image larger than the chip: its first part
  // The file address that is cell 0 (Intel HEX, S-records); none: address 0.
  std::optional<std::uint32_t> base;
  bool autoBase = false;  // the one window of the chip's size, at a multiple of it, holding data
  bool part = false;      // one part of the chip: no note that a raw image leaves cells blank
  // How the command maps a file's addresses, which its hints name: --base,
  // a pack part's FILE:base=ADDR, or not at all (join: convert maps first).
  enum class BaseWay { Option, Part, None } baseWay = BaseWay::Option;
  // The chip's cell the file goes to (pack's @CELL, --at). From a later cell
  // than 0, --base auto takes the bank's window (romprog::BankWindow); the
  // size given is then the chip's room from there.
  int cell = 0;
};

// `path` loaded for the `size` cells (up to kLargestImage) a chip has from
// rules.cell on, by `rules`:
// `cells` from cell 0 to the file's last data byte (a raw image: all of it),
// the cells it does not give 0xFF. false with `error` set, as LoadImage;
// `note` may hold more than one line.
bool LoadCells(const std::string& path, int size, const LoadRules& rules,
               std::vector<std::uint8_t>& cells, std::string& note, std::string& error);

// Fills all 32768 bytes of `image` with 0xFF and loads `path` into it for a
// chip of `activeSize` bytes by `rules`. false with `error` set when the file
// cannot be read, is damaged, gives the chip nothing, is plain text taken as
// a raw image, or is a raw image larger than the chip (unless truncated);
// `note` tells about a name that says another format than the file holds and
// about a raw image that does not fill the chip.
bool LoadImage(const std::string& path, int activeSize, std::uint8_t* image, std::string& note,
               std::string& error, const LoadRules& rules);
bool LoadImage(const std::string& path, int activeSize, std::uint8_t* image, std::string& note,
               std::string& error, bool lenient = false);

// Writes the first `activeSize` bytes of `image` to `path` in the format of
// its extension, replacing a file of that name only on success.
bool SaveImage(const std::string& path, const std::uint8_t* image, int activeSize,
               std::string& error);

// Whether `path` names a place a file can be saved at (its folder exists);
// checked before a chip is read, so a long read does not end in nothing.
bool CanSaveAt(const std::string& path, std::string& error);

}  // namespace romtool

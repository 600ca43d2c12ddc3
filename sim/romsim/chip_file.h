// The chip's content kept in a file between runs of the emulator.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "sim/device/device_model.h"

namespace romprog::sim {

using ChipImage = std::array<std::uint8_t, kChipCapacity>;

// Reads the chip from `path`; a missing file is created holding a blank chip.
// A file of any other size is refused rather than cut or padded.
bool LoadOrCreateChip(const std::string& path, ChipImage& chip, std::string& error);
// Replaces the file in one step, so a crash leaves the old or the new chip.
bool SaveChip(const std::string& path, const ChipImage& chip, std::string& error);

}  // namespace romprog::sim

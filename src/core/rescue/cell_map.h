// The chip as a picture: every cell a tile of its eight bits (bit 7 on the
// left), 64 cells a row (a row is 0x40 cells), a black line under every
// 0x400 cells. A tile's colour says what the cell is: blank (0xFF), zero,
// data (each bit light for 1, dark for 0), unstable (read both ways between
// passes: those bits yellow) or differing from a file (those bits magenta).
// So a data line stuck shows as a stripe down every tile, an address line
// that does nothing as a block repeated, weak cells as red tiles. A strip of
// swatches under the grid shows the colours in that order.
#pragma once

#include <cstdint>
#include <vector>

namespace romprog {

enum class CellKind : std::uint8_t { Blank, Zero, Data, Unstable, Differs };
constexpr int kCellKinds = 5;

struct MapInput {
  const std::uint8_t* image = nullptr;     // the cells to draw
  int size = 0;                            // how many (a multiple of 64)
  const std::uint8_t* unstable = nullptr;  // per cell, the bits that read both ways; or nullptr
  const std::uint8_t* other = nullptr;     // the file compared with; or nullptr
};

// What a cell is, unstable before differing before its value.
CellKind KindOf(const MapInput& input, int address);

// How many cells of each kind, indexed by CellKind.
std::vector<int> CountKinds(const MapInput& input);

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;  // rows top to bottom, 3 bytes a pixel
};

constexpr int kMapCellsPerRow = 64;
constexpr int kMapBitWidth = 2;   // pixels a bit across
constexpr int kMapRowHeight = 4;  // pixels a cell down
// Tiles stand a grey pixel apart across, and touch down the picture: a bit
// that never moves then draws one unbroken line from top to bottom.
constexpr int kMapTileWidth = 8 * kMapBitWidth + 1;
constexpr int kMapTileHeight = kMapRowHeight;

Picture DrawCellMap(const MapInput& input);

// The pixel column where `bit` of the cells in column `column` is drawn.
int BitColumn(int column, int bit);

}  // namespace romprog

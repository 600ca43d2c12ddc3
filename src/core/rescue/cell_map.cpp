#include "core/rescue/cell_map.h"

namespace romprog {
namespace {

struct Rgb {
  std::uint8_t r, g, b;
};

constexpr Rgb kGap{0x5A, 0x5A, 0x5A};
constexpr Rgb kKiloLine{0x00, 0x00, 0x00};
constexpr Rgb kBlank{0xEC, 0xEC, 0xEC};
constexpr Rgb kZero{0x23, 0x30, 0x7A};
constexpr Rgb kDataOne{0x9F, 0xD8, 0x9A};
constexpr Rgb kDataZero{0x1F, 0x5F, 0x2A};
constexpr Rgb kWeakBit{0xFF, 0xE0, 0x00};
constexpr Rgb kWeakOne{0xF0, 0x80, 0x80};
constexpr Rgb kWeakZero{0xC0, 0x18, 0x18};
constexpr Rgb kDiffBit{0xFF, 0x00, 0xFF};
constexpr Rgb kDiffOne{0xF4, 0xB0, 0xF4};
constexpr Rgb kDiffZero{0x80, 0x20, 0x7F};
constexpr Rgb kBackground{0xFF, 0xFF, 0xFF};

constexpr int kLegendHeight = 24;
constexpr int kSwatchWidth = 48;
constexpr int kSwatchHeight = 14;

class Canvas {
 public:
  Canvas(int width, int height) {
    picture_.width = width;
    picture_.height = height;
    picture_.rgb.assign(static_cast<std::size_t>(width) * height * 3, 0);
  }
  void Fill(int x, int y, int w, int h, Rgb colour) {
    for (int row = y; row < y + h; ++row) {
      for (int col = x; col < x + w; ++col) {
        std::uint8_t* pixel =
            &picture_.rgb[(static_cast<std::size_t>(row) * picture_.width + col) * 3];
        pixel[0] = colour.r;
        pixel[1] = colour.g;
        pixel[2] = colour.b;
      }
    }
  }
  Picture Take() { return std::move(picture_); }

 private:
  Picture picture_;
};

// The colour of one bit of a cell of `kind`.
Rgb BitColour(CellKind kind, bool one, bool marked) {
  switch (kind) {
    case CellKind::Blank:
      return kBlank;
    case CellKind::Zero:
      return kZero;
    case CellKind::Data:
      return one ? kDataOne : kDataZero;
    case CellKind::Unstable:
      return marked ? kWeakBit : one ? kWeakOne : kWeakZero;
    case CellKind::Differs:
      return marked ? kDiffBit : one ? kDiffOne : kDiffZero;
  }
  return kBlank;
}

void DrawCell(Canvas& canvas, const MapInput& input, int address) {
  const CellKind kind = KindOf(input, address);
  const std::uint8_t value = input.image[address];
  std::uint8_t marked = 0;
  if (kind == CellKind::Unstable) marked = input.unstable[address];
  if (kind == CellKind::Differs) marked = static_cast<std::uint8_t>(value ^ input.other[address]);
  const int column = address % kMapCellsPerRow, row = address / kMapCellsPerRow;
  for (int bit = 7; bit >= 0; --bit) {
    canvas.Fill(BitColumn(column, bit), row * kMapTileHeight, kMapBitWidth, kMapRowHeight,
                BitColour(kind, (value >> bit) & 1, (marked >> bit) & 1));
  }
}

// One swatch a kind, in CellKind order; data and the marked kinds show both
// halves of their bits.
void DrawLegend(Canvas& canvas, int top) {
  const CellKind kinds[] = {CellKind::Blank, CellKind::Zero, CellKind::Data, CellKind::Unstable,
                            CellKind::Differs};
  int x = 4;
  for (CellKind kind : kinds) {
    canvas.Fill(x - 1, top + 4, kSwatchWidth + 2, kSwatchHeight + 2, kKiloLine);
    const int third = kSwatchWidth / 3;
    canvas.Fill(x, top + 5, third, kSwatchHeight, BitColour(kind, true, false));
    canvas.Fill(x + third, top + 5, third, kSwatchHeight, BitColour(kind, false, false));
    canvas.Fill(x + 2 * third, top + 5, kSwatchWidth - 2 * third, kSwatchHeight,
                BitColour(kind, false, true));
    x += kSwatchWidth + 16;
  }
}

}  // namespace

CellKind KindOf(const MapInput& input, int address) {
  if (input.unstable && input.unstable[address] != 0) return CellKind::Unstable;
  if (input.other && input.other[address] != input.image[address]) return CellKind::Differs;
  const std::uint8_t value = input.image[address];
  return value == 0xFF ? CellKind::Blank : value == 0x00 ? CellKind::Zero : CellKind::Data;
}

std::vector<int> CountKinds(const MapInput& input) {
  std::vector<int> counts(kCellKinds, 0);
  for (int a = 0; a < input.size; ++a) ++counts[static_cast<int>(KindOf(input, a))];
  return counts;
}

int BitColumn(int column, int bit) {
  return column * kMapTileWidth + (7 - bit) * kMapBitWidth;
}

Picture DrawCellMap(const MapInput& input) {
  const int rows = (input.size + kMapCellsPerRow - 1) / kMapCellsPerRow;
  const int width = kMapCellsPerRow * kMapTileWidth - 1;
  const int gridHeight = rows * kMapTileHeight;
  Canvas canvas(width, gridHeight + kLegendHeight);
  canvas.Fill(0, 0, width, gridHeight, kGap);
  canvas.Fill(0, gridHeight, width, kLegendHeight, kBackground);
  for (int a = 0; a < input.size; ++a) DrawCell(canvas, input, a);
  // A black line under every 0x400 cells (16 rows) to count addresses by,
  // over the last pixel row of the 16th.
  for (int row = 15; row < rows; row += 16) {
    canvas.Fill(0, (row + 1) * kMapTileHeight - 1, width, 1, kKiloLine);
  }
  DrawLegend(canvas, gridHeight);
  return canvas.Take();
}

}  // namespace romprog

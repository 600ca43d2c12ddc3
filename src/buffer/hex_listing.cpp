#include "buffer/hex_listing.h"

#include "buffer/chip_types.h"
#include "buffer/row_editor.h"
#include "shell/control_ids.h"
#include "shell/texts.h"
#include "shell/win_constants.h"

namespace romprog {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr std::uint32_t kGridGrey = 0x00808080;

}  // namespace

Text AddressCell(int address) {
  Text cell(6, ' ');
  for (int shift = 12; shift >= 0; shift -= 4) cell += kHexDigits[(address >> shift) & 0xF];
  return cell;
}

Text ByteCell(std::uint8_t value) {
  Text cell(3, ' ');
  cell += kHexDigits[value >> 4];
  cell += kHexDigits[value & 0xF];
  return cell;
}

char AsciiChar(std::uint8_t value) {
  return value < 0x20 ? ' ' : static_cast<char>(value);
}

Text AsciiCell(const std::uint8_t* row) {
  Text cell(2, ' ');
  for (int k = 0; k < kBytesPerRow; ++k) cell += AsciiChar(row[k]);
  return cell;
}

void CreateListing(App& app) {
  using namespace win;
  ControlDesc list;
  list.id = id::kListing;
  list.className = "SysListView32";
  list.style =
      kWsChild | kWsVisible | kWsTabStop | kLvsReport | kLvsSingleSel | kLvsShareImageLists;
  list.exStyle = kWsExClientEdge;
  list.width = 502;
  list.height = 545;
  app.ui.CreateControl(list);
  app.ui.InsertColumn(id::kListing, 0, text::kAddressColumn, 80);
  app.ui.SetControlColour(id::kListing, kColourGrid, kGridGrey);
}

void AddListingColumns(App& app) {
  for (int n = 1; n <= kBytesPerRow; ++n) {
    app.ui.InsertColumn(id::kListing, n, "  0" + std::to_string(n - 1), 40);
  }
  app.ui.InsertColumn(id::kListing, kBytesPerRow + 1, "Ascii", 80);
}

void RefreshListingRow(App& app, int row) {
  const std::uint8_t* bytes = app.state.ImageBuffer.data() + row * kBytesPerRow;
  for (int k = 0; k < kBytesPerRow; ++k) {
    app.ui.SetCell(id::kListing, row, k + 1, ByteCell(bytes[k]));
  }
  app.ui.SetCell(id::kListing, row, kBytesPerRow + 1, AsciiCell(bytes));
}

void RefreshListing(App& app) {
  Toolkit& ui = app.ui;
  ui.SetRedraw(id::kListing, false);
  ui.DeleteAllRows(id::kListing);
  app.state.listingRows = 0;
  ApplyChipType(app);
  ui.SetWindowTitle(kBufferWindow, text::kBufferTitlePrefix + app.state.chipName);
  const int rows = app.state.activeSize / kBytesPerRow;
  // Two passes: every row is inserted before any of their cells is written.
  for (int row = 0; row < rows; ++row) ui.AppendRow(id::kListing, AddressCell(row * kBytesPerRow));
  for (int row = 0; row < rows; ++row) RefreshListingRow(app, row);
  app.state.listingRows = rows;
  ui.SetRedraw(id::kListing, true);
  ClearRowEditor(app);
}

}  // namespace romprog

#include "gui/hex_listing.h"

#include "gui/chip_selector.h"
#include "gui/control_ids.h"
#include "gui/row_editor.h"
#include "gui/texts.h"
#include "gui/win_constants.h"

namespace romprog {
namespace {

constexpr std::uint32_t kGridGrey = 0x00808080;

}  // namespace

void CreateListing(App& app) {
  using namespace win;
  ControlDesc list;
  list.id = id::kListing;
  list.kind = ControlKind::List;
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
  const std::uint8_t* bytes = app.state.imageBuffer.data() + row * kBytesPerRow;
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

#include "gui/row_editor.h"

#include <algorithm>

#include "core/hex_text.h"
#include "core/listing_row.h"
#include "gui/control_ids.h"

namespace romprog {
namespace {

bool RowExists(const App& app, int row) {
  return row >= 0 && row < app.state.listingRows;
}

}  // namespace

std::uint8_t ParseByteField(const Text& field) {
  const std::size_t start = std::min(field.find_first_not_of(' '), field.size());
  return static_cast<std::uint8_t>(ReadHexField(field.data() + start, field.size() - start) & 0xFF);
}

void LoadRowIntoEditor(App& app) {
  const int row = app.ui.GetState(id::kListing);
  app.state.editRow = row;
  if (!RowExists(app, row)) {
    ClearRowEditor(app);
    return;
  }
  for (int n = 0; n <= kBytesPerRow; ++n) {
    app.ui.SetText(id::kRowAddress + n, app.ui.GetCell(id::kListing, row, n));
  }
  app.ui.EnableControl(id::kApplyRow, true);
}

bool ApplyRowEdit(App& app) {
  const int row = app.state.editRow;
  if (!RowExists(app, row)) return false;
  std::uint8_t* bytes = app.state.imageBuffer.data() + row * kBytesPerRow;
  for (int k = 0; k < kBytesPerRow; ++k) {
    bytes[k] = ParseByteField(app.ui.GetText(id::kRowByte0 + k));
  }
  return true;
}

void ClearRowEditor(App& app) {
  for (int n = 0; n <= kBytesPerRow; ++n) app.ui.SetText(id::kRowAddress + n, "");
  app.ui.EnableControl(id::kApplyRow, false);
}

}  // namespace romprog

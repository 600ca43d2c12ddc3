#include "gui/chip_commands.h"

#include "gui/completion_notice.h"
#include "gui/exchange.h"
#include "gui/hex_listing.h"
#include "gui/port_selector.h"
#include "gui/status_line.h"
#include "gui/texts.h"
#include "gui/transfer.h"
#include "gui/win_constants.h"

namespace romprog {
namespace {

constexpr std::uint8_t kErased = 0xFF;

// Opens the port and starts the exchange; false when the command ends there.
bool Begin(App& app, Exchange& exchange, Direction direction) {
  OpenProgrammerPort(app);
  if (!app.state.programmerPort) return false;
  if (direction == Direction::Writing &&
      app.ui.MessageBox("", text::kStartWrite, win::kMbYesNo | win::kMbIconQuestion) !=
          win::kIdYes) {
    return false;
  }
  return exchange.Start(direction);
}

void RunReadingCommand(App& app, const CellJudge& judge) {
  Exchange exchange(app);
  if (!Begin(app, exchange, Direction::Reading)) return;
  const Ending ending = ReadCells(app, exchange, judge);
  exchange.End();
  if (ending == Ending::Complete) CompletionNotice(app);
}

}  // namespace

void BlankCheck(App& app) {
  RunReadingCommand(app, [](int address, std::uint8_t byte) -> std::optional<BadCell> {
    if (byte == kErased) return std::nullopt;
    return BadCell{Decimal(byte), NotBlankMessage(address, byte)};
  });
}

void CompareChip(App& app) {
  const std::uint8_t* image = app.state.imageBuffer.data();
  RunReadingCommand(app, [image](int address, std::uint8_t byte) -> std::optional<BadCell> {
    if (byte == image[address]) return std::nullopt;
    return BadCell{text::kCompareFailedValue, DiffersMessage(address, byte, image[address])};
  });
}

void ReadChip(App& app) {
  Exchange exchange(app);
  if (!Begin(app, exchange, Direction::Reading)) return;
  std::uint8_t* image = app.state.imageBuffer.data();
  int stored = 0;
  const Ending ending = ReadCells(app, exchange, [&](int address, std::uint8_t byte) {
    image[address] = byte;
    stored = address + 1;
    return std::optional<BadCell>();
  });
  exchange.End();
  // Also after a read abandoned halfway, so the listing shows what the buffer holds.
  if (stored > 0 && app.state.bufferWindowOpen) RefreshListing(app);
  if (ending == Ending::Complete) CompletionNotice(app);
}

void WriteChip(App& app) {
  Exchange exchange(app);
  if (!Begin(app, exchange, Direction::Writing)) return;
  const Ending ending = WriteCells(app, exchange);
  exchange.End();
  if (ending == Ending::Complete) CompletionNotice(app);
}

}  // namespace romprog

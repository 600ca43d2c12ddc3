#include "programmer/transfer.h"

#include "programmer/cell_display.h"
#include "programmer/exchange.h"
#include "programmer/serial_line.h"
#include "programmer/status_line.h"
#include "shell/texts.h"
#include "shell/win_constants.h"

namespace romprog {
namespace {

void ReportBadCell(App& app, int address, const BadCell& bad) {
  ShowCell(app, address, bad.value);
  app.ui.MessageBox(text::kErrorCaption, bad.message, win::kMbOk | win::kMbIconHand);
  ResetStatus(app);
}

// The screen work for a cell that passed; the next byte is already on the
// line while it is done.
void ShowPassedCell(App& app, CellDisplay& display, int address, std::uint8_t value) {
  display.Passed(address, Decimal(value));
  app.ui.KeepAlive();
}

}  // namespace

Ending ReadCells(App& app, const CellJudge& judge) {
  const int size = app.state.activeSize;
  CellDisplay display(app);
  const auto whileWaiting = [&display] { display.Flush(); };
  for (int address = 0; address < size; ++address) {
    WaitForReply(app, whileWaiting);
    if (app.state.NoReply) return Ending::NoReply;
    const std::uint8_t byte = app.state.ReplyByte;
    if (const std::optional<BadCell> bad = judge(address, byte)) {
      display.Flush();
      ReportBadCell(app, address, *bad);
      return Ending::BadCell;
    }
    SendByte(app, kAcknowledge);
    ShowPassedCell(app, display, address, byte);
  }
  display.Flush();
  return Ending::Complete;
}

Ending WriteCells(App& app) {
  const int size = app.state.activeSize;
  const std::uint8_t* image = app.state.ImageBuffer.data();
  CellDisplay display(app);
  const auto whileWaiting = [&display] { display.Flush(); };
  if (size > 0) SendByte(app, image[0]);
  for (int address = 0; address < size; ++address) {
    WaitForReply(app, whileWaiting);
    if (app.state.NoReply) return Ending::NoReply;
    if (app.state.ReplyByte != kAcknowledge) {
      display.Flush();
      ReportBadCell(app, address, {text::kWriteFailedValue, NotProgrammedMessage(address)});
      return Ending::BadCell;
    }
    if (address + 1 < size) SendByte(app, image[address + 1]);
    ShowPassedCell(app, display, address, image[address]);
  }
  display.Flush();
  return Ending::Complete;
}

}  // namespace romprog

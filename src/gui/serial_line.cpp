#include "gui/serial_line.h"

#include "gui/texts.h"
#include "gui/win_constants.h"

namespace romprog {

void SetRts(App& app, bool on) {
  if (app.state.ProgrammerPort) app.state.ProgrammerPort->SetRts(on);
}

void SendByte(App& app, std::uint8_t byte) {
  if (app.state.ProgrammerPort) app.state.ProgrammerPort->SendByte(byte);
}

void ReportNoReply(App& app) {
  app.state.NoReply = 1;
  app.ui.MessageBox("", text::kNoReply, win::kMbOk | win::kMbIconExclamation);
}

void Pause(App& app, int milliseconds) {
  app.clock.Pause(milliseconds);
}

}  // namespace romprog

#include "gui/port_selector.h"

#include "core/protocol/line_settings.h"
#include "gui/control_ids.h"
#include "gui/texts.h"
#include "gui/win_constants.h"
#include "platform/system_serial_ports.h"

namespace romprog {

std::string PortSelectorItem(int number) {
  return std::string(7, ' ') + PortName(number);
}

void ProbePorts(App& app) {
  for (int n : ComPortsThatOpen(app.ports, kLastPortNumber)) {
    app.ui.AddItem(id::kPortSelector, -1, PortSelectorItem(n));
  }
  app.state.programmerPort.reset();
  if (app.ui.CountItems(id::kPortSelector) > 0) app.ui.SetState(id::kPortSelector, 0);
}

void OpenProgrammerPort(App& app) {
  Text name = app.ui.GetText(id::kPortSelector);
  name.erase(0, name.find_first_not_of(' '));
  // The old port is closed before the new one opens: it may be the same one.
  app.state.programmerPort.reset();
  app.state.programmerPort = app.ports.Open(ProgrammerLine(name)).port;
  if (app.state.programmerPort) {
    app.state.programmerPort->SetRts(false);
    return;
  }
  app.ui.MessageBox("", text::kPortPrefix + name + text::kPortUnavailable,
                    win::kMbOk | win::kMbIconExclamation);
}

}  // namespace romprog

// The program started on the fake toolkit, for tests of whole commands.
#pragma once

#include "gui/app.h"
#include "gui/control_ids.h"
#include "gui/program.h"
#include "tests/gui/fake_toolkit.h"

namespace romprog::testing {

// A machine without serial ports, whose clock stands still.
class NoSerialPorts : public PortOpener, public Clock {
 public:
  OpenedPort Open(const LineSettings&) override { return {nullptr, {PortStatus::NoDevice, {}}}; }
  void Pause(int) override {}
  std::uint32_t TickCount() override { return 0; }
};

struct TestApp {
  FakeToolkit ui;
  NoSerialPorts noPorts;
  App app;

  TestApp() : app(ui, noPorts, noPorts) {}
  // `line` both opens the ports and keeps the time.
  template <class Line>
  explicit TestApp(Line* line) : app(ui, *line, *line) {}
  void Start() { StartUp(app); }
  // Selects item `index` of the ROM-type selector (0 27C64, 1 27C128, 2 27C256).
  void SelectChip(int index) { ui.SetState(id::kChipSelector, index); }
  // Raises a control event as a click would, toggles flipping first.
  void Click(int control) {
    ui.events.push_back({EventKind::Control, control, -1, 0});
    HandleEvent(app, ui.WaitForEvent());
  }
  std::uint8_t* buffer() { return app.state.imageBuffer.data(); }
};

}  // namespace romprog::testing

// The program-wide state and the context every command runs in.
#pragma once

#include <cstdint>
#include <memory>

#include "core/image.h"
#include "core/protocol/serial_port.h"
#include "gui/toolkit.h"

namespace romprog {

// Window numbers.
constexpr int kMainWindow = 0;
constexpr int kBufferWindow = 1;

// Everything the program keeps between events. Owned by the shell.
struct AppState {
  Image imageBuffer{};                         // zero-filled at start-up
  int activeSize = 0;                          // 8192, 16384 or 32768 after the first ApplyChipType
  std::uint8_t chipCode = 0;                   // activeSize / 256
  Text chipName;                               // the selected item without its leading blanks
  std::unique_ptr<SerialPort> programmerPort;  // null: no port open
  int editRow = -1;                            // listing row last loaded into the row editor
  int listingRows = 0;                         // rows the hex listing holds since its last refresh
  bool bufferWindowOpen = false;               // false when the buffer window could not be created
};

// What a command is given: the state and the platform's interfaces.
struct App {
  AppState state;
  Toolkit& ui;
  PortOpener& ports;
  Clock& clock;

  App(Toolkit& toolkit, PortOpener& opener, Clock& time)
      : ui(toolkit), ports(opener), clock(time) {}
};

}  // namespace romprog

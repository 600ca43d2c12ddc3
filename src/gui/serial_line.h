// The line operations of the window program, over the open port.
#pragma once

#include <cstdint>

#include "core/protocol/chip_link.h"
#include "gui/app.h"

namespace romprog {

// Raises or lowers RTS; nothing happens when no port is open.
void SetRts(App& app, bool on);
// Writes one byte; whether it got out is not examined (a lost byte shows up
// as a missing reply).
void SendByte(App& app, std::uint8_t byte);
// NoReply := 1 and the no-reply message.
void ReportNoReply(App& app);
// Waits about `milliseconds`.
void Pause(App& app, int milliseconds);

}  // namespace romprog

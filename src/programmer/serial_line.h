// The line operations of the window program, over the open port.
#pragma once

#include <cstdint>
#include <functional>

#include "programmer/chip_link.h"
#include "shell/app.h"

namespace romprog {

// Raises or lowers RTS; nothing happens when no port is open.
void SetRts(App& app, bool on);
// Writes one byte; whether it got out is not examined (a lost byte shows up
// as a missing reply).
void SendByte(App& app, std::uint8_t byte);
// Sets ReplyByte and NoReply. Takes a byte as soon as one is there, blocking
// in the driver between checks rather than spinning; after every slice of the
// wait that brought nothing it runs `whileWaiting` and lets the windows
// repaint. After kReplyTimeoutMs without a byte it shows the no-reply message
// once and sets NoReply to 1.
void WaitForReply(App& app, const std::function<void()>& whileWaiting = nullptr);
// NoReply := 1 and the no-reply message.
void ReportNoReply(App& app);
// Waits about `milliseconds`.
void Pause(App& app, int milliseconds);

}  // namespace romprog

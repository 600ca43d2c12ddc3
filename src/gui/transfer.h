// The byte-by-byte part of an exchange of the window program, after the
// command reply: each cell is shown in the status line as it passes, and a
// bad cell ends the transfer.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "gui/app.h"
#include "gui/exchange.h"

namespace romprog {

// Why a reading command turns a cell down: what the status value shows and the
// message.
struct BadCell {
  Text value;
  Text message;
};
// Judges the byte read at an address: nullopt accepts it.
using CellJudge = std::function<std::optional<BadCell>(int address, std::uint8_t byte)>;

// Reading direction: every accepted byte is acknowledged at once, then shown.
// A rejected one is shown and reported while RTS is still up, and the status
// line is reset; no acknowledge goes out for it.
Ending ReadCells(App& app, Exchange& exchange, const CellJudge& judge);

// Writing direction: sends the active part of the buffer; a reply other than
// the acknowledge ends it at that cell.
Ending WriteCells(App& app, Exchange& exchange);

}  // namespace romprog

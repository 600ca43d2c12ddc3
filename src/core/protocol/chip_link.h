// One exchange with the programmer over an open port, free of any window:
// RTS framing, the command byte and its reply, then one byte per cell in the
// reading or the writing direction. The window program and romtool both run
// their chip commands through it; what each does with a cell (screen, bar,
// buffer) is its observer's business.
#pragma once

#include <cstdint>
#include <functional>

#include "core/protocol/protocol.h"
#include "core/protocol/serial_port.h"

namespace romprog {

enum class Ending { Complete, BadCell, NoReply, Stopped };

// What the command byte names: the chip code and the number of cells.
struct ChipSelection {
  std::uint8_t chipCode = 0;
  int activeSize = 0;
};

// How an exchange ended; for a bad cell or a missing reply the address in
// hand, and for a bad cell the byte that came (read value or write reply).
// A missing reply is either silence (`line` TimedOut) or a line that failed
// on a send or a read, so no reply could come (`line` says how). Stopped:
// `address` is the first cell not taken, in either direction; the cells
// below it were acknowledged (reading) or confirmed by the programmer
// (writing), so the chip holds them.
struct LinkResult {
  Ending ending = Ending::Complete;
  int address = -1;  // -1: ended at the command byte
  std::uint8_t value = 0;
  PortResult line;
};

// Told about every step. All default to nothing; a reading observer judges
// the cells through Accept.
class LinkObserver {
 public:
  virtual ~LinkObserver() = default;
  // A slice of a wait went by without a byte.
  virtual void Waiting() {}
  // kReplyTimeoutMs without a byte, or the line failed; RTS is still up.
  virtual void NoReply() {}
  // Reading: whether the byte read at `address` passes. A rejected cell gets
  // no acknowledge.
  virtual bool Accept(int /*address*/, std::uint8_t /*byte*/) { return true; }
  // A cell went by: acknowledged (reading) or acknowledged by the programmer
  // (writing, `value` being what was written). The next byte is already on
  // the line when this is called.
  virtual void Passed(int /*address*/, std::uint8_t /*value*/) {}
  // A cell turned down (reading) or reported failed (writing, `value` being
  // the reply); RTS is still up.
  virtual void Rejected(int /*address*/, std::uint8_t /*value*/) {}
  // Asked before every cell; false ends the exchange there, RTS still up.
  // Writing, the cell's byte is already on the line then: its reply is
  // waited for and, when it is an acknowledge, the cell is Passed and the
  // stop comes after it (after the last cell the write is Complete).
  virtual bool GoOn() { return true; }
};

// Waits for one byte as the protocol does: taken as soon as it is there,
// `whileWaiting` after every slice that brought nothing; TimedOut after
// kReplyTimeoutMs, and a failure of the line at once. The elapsed time stays
// right when the tick count wraps.
PortResult WaitForByte(SerialPort& port, Clock& clock, std::uint8_t& byte,
                       const std::function<void()>& whileWaiting);

class ChipLink {
 public:
  ChipLink(SerialPort& port, Clock& clock) : port_(port), clock_(clock) {}
  ~ChipLink() { End(); }
  ChipLink(const ChipLink&) = delete;
  ChipLink& operator=(const ChipLink&) = delete;

  // Raises RTS, then takes the chip (so a selection made up to that moment
  // counts), pauses, empties the input queue, sends the command byte and
  // waits for its reply. false when none came or the command byte could not
  // be sent; the exchange has ended then and `line()` says which.
  bool Start(Direction direction, const std::function<ChipSelection()>& takeChip,
             LinkObserver& observer);
  // The cells from address 0 on, in the direction given to Start. Writing
  // sends the first `activeSize` bytes of `image`.
  LinkResult ReadCells(LinkObserver& observer);
  LinkResult WriteCells(const std::uint8_t* image, LinkObserver& observer);
  // Lowers RTS; once.
  void End();

  const ChipSelection& chip() const { return chip_; }
  // Why the exchange stopped for want of a reply: silence or a failed line.
  const PortResult& line() const { return line_; }

 private:
  bool Wait(std::uint8_t& byte, LinkObserver& observer);
  bool Send(std::uint8_t byte, LinkObserver& observer);
  LinkResult StopWriting(int address, const std::uint8_t* image, LinkObserver& observer);
  LinkResult LineLost(int address) const { return {Ending::NoReply, address, 0, line_}; }

  SerialPort& port_;
  Clock& clock_;
  PortResult line_;
  ChipSelection chip_;
  bool running_ = false;
};

// A whole exchange: start, the cells, end.
LinkResult RunExchange(SerialPort& port, Clock& clock, LinkObserver& observer, Direction direction,
                       const ChipSelection& chip, const std::uint8_t* image = nullptr);

}  // namespace romprog

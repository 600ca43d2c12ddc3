// The board's UART and RTS pin on a pseudo-terminal: the host's bytes and
// RTS edges (through the modem-lines library) go in, in the order the host
// made them; the firmware's bytes come out once their line time is over.
// Simulated time is held to the wall clock times the speed asked for.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>

#include "firmware/board/avr_board.h"
#include "sim/romsim/modem_lines_socket.h"

namespace romprog::board {

class LineBridge {
 public:
  // `note` takes a line for the log; `settled` is called when the line has
  // rested (RTS lowered, or no byte for a while): the time to save the chip.
  LineBridge(AvrBoard& board, int lineFd, int stopFd, sim::ModemLinesSocket* lines, double speed,
             std::function<void(const std::string&)> note, std::function<void()> settled);
  // One tick of the board: false once asked to stop or the line is gone.
  bool Tick();

 private:
  struct Event {
    bool edge;  // an RTS edge, else a byte
    bool rts;
    std::uint8_t byte;
  };

  bool TakeBytes();
  bool ServeModemRequest();
  std::uint32_t ChangeModemLines(std::uint32_t bits);
  void Feed();
  bool DeliverDue();
  bool Pace();
  void Note(const std::string& what);

  AvrBoard& board_;
  int line_;
  int stop_;
  sim::ModemLinesSocket* lines_;
  double speed_;
  std::function<void(const std::string&)> note_;
  std::function<void()> settled_;
  std::deque<Event> in_;
  std::deque<std::pair<std::uint64_t, std::uint8_t>> out_;  // due cycle, byte
  std::uint64_t wireFreeCycle_ = 0;                         // when the last byte fed in is through
  std::uint32_t modemBits_ = 0;
  bool lowLatency_ = false;
  std::int64_t originNs_;  // wall time at simulated time 0
  std::int64_t lastActivityNs_;
  std::int64_t lastLookNs_ = 0;
  bool unsettled_ = false;
  bool stopped_ = false;
};

}  // namespace romprog::board

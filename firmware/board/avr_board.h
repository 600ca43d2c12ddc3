// The programmer's board in simavr: an ATmega328P running the firmware, its
// port pins wired to the two 74HC595 and the chip in the socket, its UART
// and RTS pin handed to whoever drives the line (LineBridge).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "firmware/board/eprom_model.h"
#include "firmware/board/shift_chain.h"

struct avr_t;
struct avr_irq_t;

namespace romprog::board {

// How long the firmware took from a byte's arrival to its answer.
struct AnswerTimes {
  long count = 0;
  std::int64_t totalNs = 0;
  std::int64_t maxNs = 0;
  void Add(std::int64_t ns);
};

struct BoardFigures {
  long contention = 0;  // the chip and the AVR drove the data lines at once
  AnswerTimes written;  // answers to a byte the chip was programmed for
  AnswerTimes others;   // every other answer
};

class AvrBoard {
 public:
  // Loads `elf` into a fresh ATmega328P wired to `chip`; null with `error`.
  static std::unique_ptr<AvrBoard> Load(const std::string& elf, EpromModel& chip,
                                        std::string& error);
  ~AvrBoard();
  AvrBoard(const AvrBoard&) = delete;
  AvrBoard& operator=(const AvrBoard&) = delete;

  // Runs the firmware, `tick` every kTickUs of simulated time, until `tick`
  // returns false or the core stops. false when the core crashed.
  bool Run(const std::function<bool()>& tick);
  std::int64_t NowNs() const;
  // Cycles one byte takes on the line at the rate the firmware set.
  std::uint64_t CyclesPerByte() const;
  std::uint64_t cycle() const;

  // The UART's receiver has room (its queue holds 64 bytes).
  bool TakesInput() const { return xon_; }
  void Receive(std::uint8_t byte);
  void SetRts(bool asserted);
  // Bytes the firmware sends, as it writes them to the UART.
  void OnSend(std::function<void(std::uint8_t)> sink) { sink_ = std::move(sink); }
  const BoardFigures& figures() const { return figures_; }

  static constexpr int kTickUs = 100;

 private:
  explicit AvrBoard(EpromModel& chip) : chip_(chip) {}
  bool Wire();
  void PortChanged(int port, std::uint8_t value);
  void DirectionChanged(int port, std::uint8_t value);
  void Update();
  bool Level(int port, int bit, bool undriven) const;
  void Sent(std::uint8_t byte);

  static void OnPort(avr_irq_t* irq, std::uint32_t value, void* param);
  static void OnDirection(avr_irq_t* irq, std::uint32_t value, void* param);
  static void OnUartOut(avr_irq_t* irq, std::uint32_t value, void* param);
  static void OnXon(avr_irq_t* irq, std::uint32_t value, void* param);
  static void OnXoff(avr_irq_t* irq, std::uint32_t value, void* param);
  static std::uint64_t OnTick(avr_t* avr, std::uint64_t when, void* param);

  // Which board and port an IRQ of a port's registers belongs to.
  struct PortHook {
    AvrBoard* board;
    int port;
  };

  EpromModel& chip_;
  avr_t* avr_ = nullptr;
  PortHook hooks_[3] = {};
  ShiftChain chain_;
  std::uint8_t port_[3] = {};  // B, C, D as the firmware set them
  std::uint8_t direction_[3] = {};
  avr_irq_t* dataPins_[8] = {};
  avr_irq_t* rtsPin_ = nullptr;
  avr_irq_t* uartIn_ = nullptr;
  bool xon_ = false;
  std::uint32_t floating_ = 0x12345678;  // what undriven data lines happen to show
  std::function<void(std::uint8_t)> sink_;
  std::function<bool()> tick_;
  bool stop_ = false;
  std::uint64_t arrivalCycle_ = 0;  // when the last byte in reached the firmware
  long supplyCyclesAtArrival_ = 0;
  BoardFigures figures_;
};

}  // namespace romprog::board

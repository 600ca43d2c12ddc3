#include "firmware/board/avr_board.h"

#include <avr_ioport.h>
#include <avr_uart.h>
#include <sim_avr.h>
#include <sim_cycle_timers.h>
#include <sim_elf.h>
#include <sim_time.h>

#include <cstdarg>
#include <cstdio>

#include "firmware/pins.h"

namespace romprog::board {
namespace {

constexpr int kPortB = 0, kPortC = 1, kPortD = 2;
constexpr char kPortNames[3] = {'B', 'C', 'D'};
constexpr std::uint32_t kFrequency = 16000000;
// The UART's registers (ATmega328P data space).
constexpr int kUcsr0a = 0xC0, kUbrr0l = 0xC4, kUbrr0h = 0xC5;
// EICRA, and its sense bits for INT0 and INT1 on any edge.
constexpr int kEicra = 0x69;
constexpr std::uint8_t kIntAnyEdge = 0x05;

int PortIndex(char name) {
  return name == 'B' ? kPortB : name == 'C' ? kPortC : kPortD;
}

// simavr's chatter goes to stderr, its tracing nowhere.
void Logger(avr_t*, const int level, const char* format, va_list ap) {
  if (level <= LOG_WARNING) std::vfprintf(stderr, format, ap);
}

// The firmware sleeps between bytes; simulated time then jumps to the next
// timer (the board's tick at the latest), paced by the line bridge.
void NoSleep(avr_t*, avr_cycle_count_t) {}

}  // namespace

void AnswerTimes::Add(std::int64_t ns) {
  ++count;
  totalNs += ns;
  if (ns > maxNs) maxNs = ns;
}

std::unique_ptr<AvrBoard> AvrBoard::Load(const std::string& elf, EpromModel& chip,
                                         std::string& error) {
  avr_global_logger_set(Logger);
  std::unique_ptr<AvrBoard> board(new AvrBoard(chip));
  elf_firmware_t firmware{};
  if (elf_read_firmware(elf.c_str(), &firmware) != 0) {
    error = "cannot read the firmware " + elf;
    return nullptr;
  }
  board->avr_ = avr_make_mcu_by_name("atmega328p");
  if (board->avr_ == nullptr || avr_init(board->avr_) != 0) {
    error = "simavr has no ATmega328P";
    return nullptr;
  }
  firmware.frequency = kFrequency;
  avr_load_firmware(board->avr_, &firmware);
  board->avr_->frequency = kFrequency;
  board->avr_->sleep = NoSleep;
  // INT0 and INT1 sit on D0 and D1 of the data lines and stay disabled, but
  // simavr polls a low level on them every cycle while their sense is the
  // reset one (low level). The firmware never touches EICRA.
  board->avr_->data[kEicra] = kIntAnyEdge;
  if (!board->Wire()) {
    error = "cannot wire the board's pins";
    return nullptr;
  }
  return board;
}

AvrBoard::~AvrBoard() {
  if (avr_ != nullptr) avr_terminate(avr_);
}

bool AvrBoard::Wire() {
  static_assert(PIN_SHIFT_PORT == 'B' && PIN_CONTROL_PORT == 'C', "the board wires these ports");
  for (int port = 0; port < 3; ++port) {
    hooks_[port] = PortHook{this, port};
    const uint32_t ioctl = AVR_IOCTL_IOPORT_GETIRQ(kPortNames[port]);
    avr_irq_register_notify(avr_io_getirq(avr_, ioctl, IOPORT_IRQ_REG_PORT), OnPort, &hooks_[port]);
    avr_irq_register_notify(avr_io_getirq(avr_, ioctl, IOPORT_IRQ_DIRECTION_ALL), OnDirection,
                            &hooks_[port]);
  }
  for (int bit = 0; bit < 8; ++bit) {
    const bool low = bit < 6;
    const char port = low ? PIN_DATA_LOW_PORT : PIN_DATA_HIGH_PORT;
    const int pin = low ? PIN_DATA_LOW_SHIFT + bit : PIN_DATA_HIGH_SHIFT + bit - 6;
    dataPins_[bit] = avr_io_getirq(avr_, AVR_IOCTL_IOPORT_GETIRQ(port), pin);
  }
  rtsPin_ = avr_io_getirq(avr_, AVR_IOCTL_IOPORT_GETIRQ(PIN_CONTROL_PORT), PIN_RTS);
  // The UART as a line, not a console: no stdout copy, no sleeping on polls.
  std::uint32_t flags = 0;
  avr_ioctl(avr_, AVR_IOCTL_UART_SET_FLAGS('0'), &flags);
  const uint32_t uart = AVR_IOCTL_UART_GETIRQ('0');
  uartIn_ = avr_io_getirq(avr_, uart, UART_IRQ_INPUT);
  avr_irq_register_notify(avr_io_getirq(avr_, uart, UART_IRQ_OUTPUT), OnUartOut, this);
  avr_irq_register_notify(avr_io_getirq(avr_, uart, UART_IRQ_OUT_XON), OnXon, this);
  avr_irq_register_notify(avr_io_getirq(avr_, uart, UART_IRQ_OUT_XOFF), OnXoff, this);
  SetRts(false);
  return uartIn_ != nullptr && rtsPin_ != nullptr && dataPins_[7] != nullptr;
}

bool AvrBoard::Run(const std::function<bool()>& tick) {
  tick_ = tick;
  avr_cycle_timer_register_usec(avr_, kTickUs, OnTick, this);
  for (;;) {
    const int state = avr_run(avr_);
    if (stop_ || state == cpu_Done) return true;
    if (state == cpu_Crashed) return false;
  }
}

std::int64_t AvrBoard::NowNs() const {
  return static_cast<std::int64_t>(avr_->cycle) * 1000 / (kFrequency / 1000000);
}

std::uint64_t AvrBoard::cycle() const {
  return avr_->cycle;
}

// Ten bit times (start, 8 data, stop) at the rate UBRR0 and U2X0 give.
std::uint64_t AvrBoard::CyclesPerByte() const {
  const unsigned ubrr = avr_->data[kUbrr0l] | ((avr_->data[kUbrr0h] & 0x0F) << 8);
  const unsigned perBit = (ubrr + 1) * ((avr_->data[kUcsr0a] & 0x02) ? 8 : 16);
  return std::uint64_t{perBit} * 10;
}

void AvrBoard::Receive(std::uint8_t byte) {
  const std::uint64_t start = arrivalCycle_ > avr_->cycle ? arrivalCycle_ : avr_->cycle;
  arrivalCycle_ = start + CyclesPerByte();
  supplyCyclesAtArrival_ = chip_.counts().supplyCycles;
  avr_raise_irq(uartIn_, byte);
}

// RTS# of a USB-serial adapter: low while the host asserts RTS. Held as the
// pin's outside level, so the firmware's own pull-up does not override it.
void AvrBoard::SetRts(bool asserted) {
  avr_ioport_external_t outside{};
  outside.name = PIN_CONTROL_PORT;
  outside.mask = 1u << PIN_RTS;
  outside.value = asserted ? 0 : (1u << PIN_RTS);
  avr_ioctl(avr_, AVR_IOCTL_IOPORT_SET_EXTERNAL(PIN_CONTROL_PORT), &outside);
  avr_raise_irq(rtsPin_, asserted ? 0 : 1);
}

void AvrBoard::OnPort(avr_irq_t*, std::uint32_t value, void* param) {
  auto* hook = static_cast<PortHook*>(param);
  hook->board->PortChanged(hook->port, static_cast<std::uint8_t>(value));
}

void AvrBoard::OnDirection(avr_irq_t*, std::uint32_t value, void* param) {
  auto* hook = static_cast<PortHook*>(param);
  hook->board->DirectionChanged(hook->port, static_cast<std::uint8_t>(value));
}

void AvrBoard::OnUartOut(avr_irq_t*, std::uint32_t value, void* param) {
  static_cast<AvrBoard*>(param)->Sent(static_cast<std::uint8_t>(value));
}

void AvrBoard::OnXon(avr_irq_t*, std::uint32_t, void* param) {
  static_cast<AvrBoard*>(param)->xon_ = true;
}

void AvrBoard::OnXoff(avr_irq_t*, std::uint32_t value, void* param) {
  if (value != 0) static_cast<AvrBoard*>(param)->xon_ = false;
}

std::uint64_t AvrBoard::OnTick(avr_t* avr, std::uint64_t when, void* param) {
  auto* board = static_cast<AvrBoard*>(param);
  if (!board->tick_()) {
    board->stop_ = true;
    return 0;
  }
  return when + avr_usec_to_cycles(avr, kTickUs);
}

void AvrBoard::Sent(std::uint8_t byte) {
  const std::int64_t ns =
      static_cast<std::int64_t>(avr_->cycle > arrivalCycle_ ? avr_->cycle - arrivalCycle_ : 0) *
      1000 / (kFrequency / 1000000);
  if (chip_.counts().supplyCycles != supplyCyclesAtArrival_) {
    figures_.written.Add(ns);
  } else {
    figures_.others.Add(ns);
  }
  supplyCyclesAtArrival_ = chip_.counts().supplyCycles;
  if (sink_) sink_(byte);
}

void AvrBoard::PortChanged(int port, std::uint8_t value) {
  port_[port] = value;
  Update();
}

void AvrBoard::DirectionChanged(int port, std::uint8_t value) {
  direction_[port] = value;
  Update();
}

// A pin the firmware drives shows its PORT bit; one it leaves as an input
// shows the board's resistor there (`undriven`).
bool AvrBoard::Level(int port, int bit, bool undriven) const {
  if (direction_[port] & (1u << bit)) return (port_[port] >> bit) & 1;
  return undriven;
}

void AvrBoard::Update() {
  const int b = kPortB, c = kPortC;
  chain_.Pins(Level(b, PIN_SHIFT_DATA, false), Level(b, PIN_SHIFT_CLOCK, false),
              Level(b, PIN_SHIFT_LATCH, false));
  SocketInputs in;
  in.lines = static_cast<std::uint16_t>(chain_.lines() & 0x7FFF);
  // 10k pull-ups keep the chip deselected, pull-downs the supplies at 5 V,
  // while the AVR's pins are inputs (reset).
  in.ceLow = !Level(c, PIN_CE, true);
  in.oeLow = !Level(c, PIN_OE, true);
  in.vppHigh = Level(c, PIN_VPP_ON, false);
  in.vccHigh = Level(c, PIN_VCC_PROG, false);
  const int low = PortIndex(PIN_DATA_LOW_PORT), high = PortIndex(PIN_DATA_HIGH_PORT);
  const unsigned lowMask = 0x3Fu << PIN_DATA_LOW_SHIFT, highMask = 0x03u << PIN_DATA_HIGH_SHIFT;
  const bool drivesLow = (direction_[low] & lowMask) == lowMask;
  const bool drivesHigh = (direction_[high] & highMask) == highMask;
  const bool drivesAny = (direction_[low] & lowMask) || (direction_[high] & highMask);
  if (drivesLow && drivesHigh) {
    in.data = static_cast<std::uint8_t>(((port_[low] & lowMask) >> PIN_DATA_LOW_SHIFT) |
                                        (((port_[high] & highMask) >> PIN_DATA_HIGH_SHIFT) << 6));
  }
  chip_.Apply(in, NowNs());
  const std::optional<std::uint8_t> out = chip_.Output();
  if (out && drivesAny) ++figures_.contention;
  std::uint8_t bus = 0;
  if (out) {
    bus = *out;
  } else {
    floating_ = floating_ * 1664525u + 1013904223u;
    bus = static_cast<std::uint8_t>(floating_ >> 24);
  }
  for (int bit = 0; bit < 8; ++bit) avr_raise_irq(dataPins_[bit], (bus >> bit) & 1);
}

}  // namespace romprog::board

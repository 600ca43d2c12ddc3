#include "sim/device/device_model.h"

#include "core/chip_types.h"

namespace romprog::sim {

int ChipSizeOfCommand(std::uint8_t command) {
  for (const ChipType& type : kChipTypes) {
    if (command == CommandByte(type.chipCode, Direction::Reading) ||
        command == CommandByte(type.chipCode, Direction::Writing)) {
      return type.activeSize;
    }
  }
  return 0;
}

DeviceModel::DeviceModel() {
  chip_.fill(0xFF);
}

DeviceModel::DeviceModel(const std::array<std::uint8_t, kChipCapacity>& chip, DeviceOptions options)
    : chip_(chip), options_(options), faults_(options.faults) {}

const std::array<std::uint8_t, kChipCapacity>& DeviceModel::chip() const {
  return chip_;
}
std::array<std::uint8_t, kChipCapacity>& DeviceModel::chip() {
  return chip_;
}
const std::vector<ExchangeLog>& DeviceModel::exchanges() const {
  return exchanges_;
}
void DeviceModel::setOptions(const DeviceOptions& options) {
  options_ = options;
  faults_ = CellFaults(options.faults);
}

void DeviceModel::SetRts(bool high) {
  rtsFramed_ = true;
  const bool wasHigh = rtsHigh_;
  rtsHigh_ = high;
  if (high) {
    // A rising edge always readies the device for a command, whatever the last
    // exchange left behind.
    if (!wasHigh && !InExchange()) state_ = State::Idle;
    return;
  }
  if (InExchange()) {
    Finish("rts-low", State::Idle);
  } else {
    state_ = State::Idle;
  }
}

void DeviceModel::EndOfExchange(const std::string& why) {
  if (InExchange()) {
    Finish(why, State::Idle);
  } else if (state_ == State::Ignoring) {
    state_ = State::Idle;
  }
}

void DeviceModel::Receive(std::uint8_t byte, std::vector<std::uint8_t>& out) {
  switch (state_) {
    case State::Idle:
      if (AcceptsCommand()) {
        StartExchange(byte, out);
      } else {
        ++ignoredBytes_;
      }
      return;
    case State::Reading:
      if (byte == kAcknowledge) {
        Acknowledged(out);
        return;
      }
      Finish("bad-ack", State::Ignoring);
      // Without RTS the host cannot say it gave up; a command byte where an
      // acknowledge was due is its next command (0xAA is never one).
      if (!rtsFramed_ && ChipSizeOfCommand(byte) != 0) StartExchange(byte, out);
      return;
    case State::Writing:
      Program(byte, out);
      return;
    case State::Ignoring:
      ++ignoredBytes_;
      return;
  }
}

bool DeviceModel::AcceptsCommand() const {
  return !rtsFramed_ || rtsHigh_;
}

void DeviceModel::StartExchange(std::uint8_t command, std::vector<std::uint8_t>& out) {
  current_ = ExchangeLog{};
  current_.command = command;
  address_ = 0;
  size_ = ChipSizeOfCommand(command);
  if (size_ == 0) {
    Finish("unknown-command", State::Ignoring);
    return;
  }
  if (options_.silentCommand != 0) {
    Finish("no-reply", State::Ignoring);
    return;
  }
  out.push_back(options_.commandReply.value_or(0x00));
  if (command & 1) {
    state_ = State::Writing;
    return;
  }
  if (SilentAt(0)) {
    Finish("no-reply", State::Ignoring);
    return;
  }
  state_ = State::Reading;
  out.push_back(ReadCell(0));
  current_.dataBytes = 1;
}

void DeviceModel::Acknowledged(std::vector<std::uint8_t>& out) {
  ++current_.acknowledges;
  ++address_;
  if (address_ == size_) {
    Finish("complete", rtsFramed_ ? State::Ignoring : State::Idle);
  } else if (SilentAt(address_)) {
    Finish("no-reply", State::Ignoring);
  } else {
    out.push_back(ReadCell(address_));
    ++current_.dataBytes;
  }
}

void DeviceModel::Program(std::uint8_t value, std::vector<std::uint8_t>& out) {
  ++current_.dataBytes;
  if (SilentAt(address_)) {
    Finish("no-reply", State::Ignoring);
    return;
  }
  std::uint8_t& cell = chip_[address_];
  // Programming only clears bits: a 1 asked where the cell holds a 0 cannot be had.
  const bool takes = (cell & value) == value && address_ != options_.writeFailAt;
  if (!takes) {
    out.push_back(kCellFailed);
    Finish("bad-cell", rtsFramed_ ? State::Ignoring : State::Idle);
    return;
  }
  if (cell != value) ++current_.programmed;
  cell = value;
  out.push_back(kAcknowledge);
  ++current_.acknowledges;
  ++address_;
  if (address_ == size_) Finish("complete", rtsFramed_ ? State::Ignoring : State::Idle);
}

bool DeviceModel::SilentAt(int address) const {
  return options_.silentFrom >= 0 && address >= options_.silentFrom;
}

bool DeviceModel::TakeLateByte() {
  const bool late = lateByte_;
  lateByte_ = false;
  return late;
}

std::uint8_t DeviceModel::ReadCell(int address) {
  if (address == options_.lateAt && !lateSent_) lateSent_ = lateByte_ = true;
  const int cell = faults_.Reached(address);
  std::uint8_t value = chip_[cell];
  if (address == options_.flakyCell && flakyReads_++ % 2 != 0) value ^= 1;
  return faults_.Read(chip_.data(), size_, cell, value);
}

void DeviceModel::Finish(const std::string& ending, State next) {
  current_.ending = ending;
  current_.address = address_;
  exchanges_.push_back(current_);
  state_ = next;
}

}  // namespace romprog::sim

#include "programmer/chip_link.h"

namespace romprog {

std::uint8_t CommandByte(std::uint8_t chipCode, Direction direction) {
  return direction == Direction::Writing ? static_cast<std::uint8_t>(chipCode + 1) : chipCode;
}

bool WaitForByte(SerialPort& port, SerialPorts& clock, std::uint8_t& byte,
                 const std::function<void()>& whileWaiting) {
  const std::uint32_t start = clock.TickCount();
  std::uint32_t elapsed = 0;
  do {
    if (port.ReadByte(byte, static_cast<int>(kReplyTimeoutMs - elapsed))) return true;
    if (whileWaiting) whileWaiting();
    // Unsigned difference: stays right when the tick count wraps.
    elapsed = clock.TickCount() - start;
  } while (elapsed < kReplyTimeoutMs);
  return false;
}

bool ChipLink::Wait(std::uint8_t& byte, LinkObserver& observer) {
  if (WaitForByte(port_, clock_, byte, [&observer] { observer.Waiting(); })) return true;
  observer.NoReply();
  return false;
}

bool ChipLink::Start(Direction direction, const std::function<ChipSelection()>& takeChip,
                     LinkObserver& observer) {
  running_ = true;
  port_.SetRts(true);
  chip_ = takeChip();
  clock_.Pause(kCommandPauseMs);
  port_.SendByte(CommandByte(chip_.chipCode, direction));
  std::uint8_t reply = 0;
  if (Wait(reply, observer)) return true;
  End();
  return false;
}

// Every accepted byte is acknowledged before the observer sees it, so the
// programmer is already sending the next one meanwhile.
LinkResult ChipLink::ReadCells(LinkObserver& observer) {
  for (int address = 0; address < chip_.activeSize; ++address) {
    if (!observer.GoOn()) return {Ending::Stopped, address, 0};
    std::uint8_t byte = 0;
    if (!Wait(byte, observer)) return {Ending::NoReply, address, 0};
    if (!observer.Accept(address, byte)) {
      observer.Rejected(address, byte);
      return {Ending::BadCell, address, byte};
    }
    port_.SendByte(kAcknowledge);
    observer.Passed(address, byte);
  }
  return {Ending::Complete, chip_.activeSize - 1, 0};
}

// The next cell's byte goes out as soon as the reply is in, before the
// observer sees the cell that passed.
LinkResult ChipLink::WriteCells(const std::uint8_t* image, LinkObserver& observer) {
  const int size = chip_.activeSize;
  if (size > 0) port_.SendByte(image[0]);
  for (int address = 0; address < size; ++address) {
    if (!observer.GoOn()) return {Ending::Stopped, address, 0};
    std::uint8_t reply = 0;
    if (!Wait(reply, observer)) return {Ending::NoReply, address, 0};
    if (reply != kAcknowledge) {
      observer.Rejected(address, reply);
      return {Ending::BadCell, address, reply};
    }
    if (address + 1 < size) port_.SendByte(image[address + 1]);
    observer.Passed(address, image[address]);
  }
  return {Ending::Complete, size - 1, 0};
}

void ChipLink::End() {
  if (!running_) return;
  running_ = false;
  port_.SetRts(false);
}

LinkResult RunExchange(SerialPort& port, SerialPorts& clock, LinkObserver& observer,
                       Direction direction, const ChipSelection& chip, const std::uint8_t* image) {
  ChipLink link(port, clock);
  if (!link.Start(
          direction, [&chip] { return chip; }, observer)) {
    return {Ending::NoReply, -1, 0};
  }
  const LinkResult result =
      direction == Direction::Writing ? link.WriteCells(image, observer) : link.ReadCells(observer);
  link.End();
  return result;
}

}  // namespace romprog

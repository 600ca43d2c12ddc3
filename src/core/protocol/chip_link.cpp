#include "core/protocol/chip_link.h"

namespace romprog {

PortResult WaitForByte(SerialPort& port, Clock& clock, std::uint8_t& byte,
                       const std::function<void()>& whileWaiting) {
  const std::uint32_t start = clock.TickCount();
  std::uint32_t elapsed = 0;
  do {
    PortResult read = port.ReadByte(byte, static_cast<int>(kReplyTimeoutMs - elapsed));
    if (read.status != PortStatus::TimedOut) return read;
    if (whileWaiting) whileWaiting();
    // Unsigned difference: stays right when the tick count wraps.
    elapsed = clock.TickCount() - start;
  } while (elapsed < kReplyTimeoutMs);
  return {PortStatus::TimedOut, {}};
}

bool ChipLink::Wait(std::uint8_t& byte, LinkObserver& observer) {
  line_ = WaitForByte(port_, clock_, byte, [&observer] { observer.Waiting(); });
  if (line_.ok()) return true;
  observer.NoReply();
  return false;
}

// A byte that did not get out will get no reply: the exchange stops at once
// instead of waiting the reply time out.
bool ChipLink::Send(std::uint8_t byte, LinkObserver& observer) {
  line_ = port_.SendByte(byte);
  if (line_.ok()) return true;
  observer.NoReply();
  return false;
}

bool ChipLink::Start(Direction direction, const std::function<ChipSelection()>& takeChip,
                     LinkObserver& observer) {
  running_ = true;
  port_.SetRts(true);
  chip_ = takeChip();
  clock_.Pause(kCommandPauseMs);
  // What an earlier exchange left unread (the byte that was on its way when
  // it stopped) would be taken for the command reply and shift every cell by
  // one. A port that cannot do it shows its fault on the send that follows.
  port_.DiscardInput();
  std::uint8_t reply = 0;
  if (Send(CommandByte(chip_.chipCode, direction), observer) && Wait(reply, observer)) return true;
  End();
  return false;
}

// Every accepted byte is acknowledged before the observer sees it, so the
// programmer is already sending the next one meanwhile.
LinkResult ChipLink::ReadCells(LinkObserver& observer) {
  for (int address = 0; address < chip_.activeSize; ++address) {
    if (!observer.GoOn()) return {Ending::Stopped, address, 0};
    std::uint8_t byte = 0;
    if (!Wait(byte, observer)) return LineLost(address);
    if (!observer.Accept(address, byte)) {
      observer.Rejected(address, byte);
      return {Ending::BadCell, address, byte};
    }
    if (!Send(kAcknowledge, observer)) return LineLost(address);
    observer.Passed(address, byte);
  }
  return {Ending::Complete, chip_.activeSize - 1, 0};
}

// The next cell's byte goes out as soon as the reply is in, before the
// observer sees the cell that passed.
LinkResult ChipLink::WriteCells(const std::uint8_t* image, LinkObserver& observer) {
  const int size = chip_.activeSize;
  if (size > 0 && !Send(image[0], observer)) return LineLost(0);
  for (int address = 0; address < size; ++address) {
    if (!observer.GoOn()) return StopWriting(address, image, observer);
    std::uint8_t reply = 0;
    if (!Wait(reply, observer)) return LineLost(address);
    if (reply != kAcknowledge) {
      observer.Rejected(address, reply);
      return {Ending::BadCell, address, reply};
    }
    if (address + 1 < size && !Send(image[address + 1], observer)) return LineLost(address + 1);
    observer.Passed(address, image[address]);
  }
  return {Ending::Complete, size - 1, 0};
}

// The byte of `address` went out before the stop was asked for: the chip
// may be programming it. Its reply says whether the cell now holds it.
LinkResult ChipLink::StopWriting(int address, const std::uint8_t* image, LinkObserver& observer) {
  std::uint8_t reply = 0;
  line_ = WaitForByte(port_, clock_, reply, [&observer] { observer.Waiting(); });
  if (!line_.ok() || reply != kAcknowledge) return {Ending::Stopped, address, reply, line_};
  observer.Passed(address, image[address]);
  if (address + 1 == chip_.activeSize) return {Ending::Complete, address, 0};
  return {Ending::Stopped, address + 1, 0};
}

void ChipLink::End() {
  if (!running_) return;
  running_ = false;
  port_.SetRts(false);
}

LinkResult RunExchange(SerialPort& port, Clock& clock, LinkObserver& observer, Direction direction,
                       const ChipSelection& chip, const std::uint8_t* image) {
  ChipLink link(port, clock);
  if (!link.Start(
          direction, [&chip] { return chip; }, observer)) {
    return {Ending::NoReply, -1, 0, link.line()};
  }
  const LinkResult result =
      direction == Direction::Writing ? link.WriteCells(image, observer) : link.ReadCells(observer);
  link.End();
  return result;
}

}  // namespace romprog

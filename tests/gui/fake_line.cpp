#include "tests/gui/fake_line.h"

#include <algorithm>

namespace romprog::testing {
namespace {

class FakePort : public SerialPort {
 public:
  explicit FakePort(FakeLine& line) : line_(line) {}
  ~FakePort() override { line_.HostClose(); }
  PortResult SetRts(bool on) override {
    line_.HostRts(on);
    return {};
  }
  PortResult SendByte(std::uint8_t byte) override {
    line_.HostByte(byte);
    return {};
  }
  PortResult ReadByte(std::uint8_t& byte, int timeoutMs) override {
    if (line_.HostRead(byte, timeoutMs)) return {};
    return {PortStatus::TimedOut, {}};
  }
  PortResult DiscardInput() override {
    line_.HostDiscard();
    return {};
  }

 private:
  FakeLine& line_;
};

}  // namespace

FakeLine::FakeLine() {
  chip.fill(0xFF);
}

OpenedPort FakeLine::Open(const LineSettings& settings) {
  openedSettings.push_back(SettingsText(settings));
  const std::string& device = settings.device;
  if (!present.count(device)) return {nullptr, {PortStatus::NoDevice, {}}};
  if (held.count(device) || openNow > 0) return {nullptr, {PortStatus::Busy, {}}};
  ++openNow;
  mostOpenAtOnce = std::max(mostOpenAtOnce, openNow);
  return {std::make_unique<FakePort>(*this), {}};
}

void FakeLine::Pause(int milliseconds) {
  pauses.push_back(milliseconds);
  now += static_cast<std::uint32_t>(milliseconds);
}

void FakeLine::HostRts(bool on) {
  rtsCalls.push_back(on);
  if (on && !rts) {
    rtsRaisedAt = now;
    phase_ = Phase::Command;
  }
  if (!on) phase_ = Phase::Idle;
  rts = on;
}

void FakeLine::HostByte(std::uint8_t byte) {
  hostBytes.push_back(byte);
  exchangeBytes.push_back(byte);
  switch (phase_) {
    case Phase::Command:
      Command(byte);
      break;
    case Phase::Reading:
    case Phase::Writing:
      NextCell(byte);
      break;
    case Phase::Idle:
      break;
  }
  if (onHostByte) onHostByte(byte);
}

void FakeLine::Command(std::uint8_t byte) {
  commandAt = now;
  const int pages = byte & 0xFE;
  if (pages != 0x20 && pages != 0x40 && pages != 0x80) {
    phase_ = Phase::Idle;
    return;
  }
  exchangeBytes.assign(1, byte);
  size_ = pages * 256;
  address_ = 0;
  phase_ = (byte & 1) ? Phase::Writing : Phase::Reading;
  if (silentCommand) {
    phase_ = Phase::Idle;
    return;
  }
  Answer(commandReply);
  if (phase_ == Phase::Reading && silentFrom != 0) Answer(chip[0]);
}

void FakeLine::NextCell(std::uint8_t byte) {
  if (phase_ == Phase::Reading) {
    if (byte != 0xAA || ++address_ >= size_) return;
    if (silentFrom >= 0 && address_ >= silentFrom) return;
    Answer(chip[address_]);
    return;
  }
  if (address_ >= size_ || (silentFrom >= 0 && address_ >= silentFrom)) return;
  if (address_ == writeFailAt) {
    Answer(failReply);
    phase_ = Phase::Idle;
    return;
  }
  chip[address_++] = byte;
  Answer(0xAA);
}

void FakeLine::Answer(std::uint8_t byte) {
  toHost_.push_back({now + replyDelayMs, byte});
}

bool FakeLine::HostRead(std::uint8_t& byte, int timeoutMs) {
  const std::uint32_t slice =
      static_cast<std::uint32_t>(std::max(1, std::min(timeoutMs, readSliceMs)));
  const std::int32_t wait =
      toHost_.empty() ? 0 : static_cast<std::int32_t>(toHost_.front().at - now);
  if (!toHost_.empty() && wait <= static_cast<std::int32_t>(slice)) {
    // Arrived already, or arrives within this read: the read returns with it.
    if (wait > 0) now = toHost_.front().at;
    byte = toHost_.front().byte;
    toHost_.pop_front();
    return true;
  }
  now += slice;
  ++readSlices;
  return false;
}

void FakeLine::HostDiscard() {
  while (!toHost_.empty() && static_cast<std::int32_t>(toHost_.front().at - now) <= 0) {
    toHost_.pop_front();
  }
}

void FakeLine::HostClose() {
  --openNow;
  toHost_.clear();
  phase_ = Phase::Idle;
  rts = false;
}

int FakeLine::Count(std::uint8_t value) const {
  if (exchangeBytes.empty()) return 0;
  return static_cast<int>(std::count(exchangeBytes.begin() + 1, exchangeBytes.end(), value));
}

}  // namespace romprog::testing

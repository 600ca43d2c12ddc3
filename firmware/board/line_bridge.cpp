#include "firmware/board/line_bridge.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "sim/monotonic_clock.h"

namespace romprog::board {
namespace {

constexpr std::uint32_t kModemOutputs = TIOCM_RTS | TIOCM_DTR;
constexpr std::uint32_t kModemInputs = TIOCM_CTS | TIOCM_DSR | TIOCM_CAR;
// Simulated time may run this far ahead of its pace before the board
// sleeps: a byte the host sends meanwhile reaches the firmware that much
// late, so it stays well under a byte's line time.
constexpr std::int64_t kAheadNs = 200000;
// Nor does it race to catch up more than this after the host held the CPU.
constexpr std::int64_t kBehindNs = 50000000;
constexpr std::int64_t kLookNs = 20000;
// A line without a byte this long has settled.
constexpr std::int64_t kRestNs = 100000000;

}  // namespace

LineBridge::LineBridge(AvrBoard& board, int lineFd, int stopFd, sim::ModemLinesSocket* lines,
                       double speed, std::function<void(const std::string&)> note,
                       std::function<void()> settled)
    : board_(board),
      line_(lineFd),
      stop_(stopFd),
      lines_(lines),
      speed_(speed),
      note_(std::move(note)),
      settled_(std::move(settled)),
      originNs_(sim::MonotonicNs()),
      lastActivityNs_(originNs_) {
  fcntl(line_, F_SETFL, fcntl(line_, F_GETFL) | O_NONBLOCK);
  // A byte is on the line from the moment the firmware writes it until its
  // stop bit is out: the host gets it then.
  board_.OnSend([this](std::uint8_t byte) {
    out_.push_back({board_.cycle() + board_.CyclesPerByte(), byte});
  });
}

bool LineBridge::Tick() {
  if (stopped_) return false;
  // Fast-running simulated time ticks far more often than the host can
  // send: the line is looked at every kLookNs of wall time at most.
  const std::int64_t now = sim::MonotonicNs();
  if (now - lastLookNs_ < kLookNs && out_.empty() && in_.empty()) return Pace();
  lastLookNs_ = now;
  pollfd fds[3] = {{line_, POLLIN, 0}, {stop_, POLLIN, 0}, {-1, POLLIN, 0}};
  if (lines_ != nullptr) fds[2].fd = lines_->fd();
  if (poll(fds, 3, 0) > 0) {
    if (fds[1].revents != 0) return false;
    if ((fds[2].revents & POLLIN) && !ServeModemRequest()) return false;
    if ((fds[0].revents & POLLIN) && !TakeBytes()) return false;
  }
  Feed();
  if (!DeliverDue()) return false;
  if (unsettled_ && sim::MonotonicNs() - lastActivityNs_ > kRestNs) {
    unsettled_ = false;
    settled_();
  }
  return Pace();
}

bool LineBridge::TakeBytes() {
  std::uint8_t bytes[256];
  for (;;) {
    const ssize_t n = read(line_, bytes, sizeof bytes);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN) return true;
    if (n <= 0) {
      std::fprintf(stderr, "romboard: cannot read the line: %s\n",
                   n == 0 ? "end of file" : std::strerror(errno));
      return false;
    }
    for (ssize_t i = 0; i < n; ++i) in_.push_back({false, false, bytes[i]});
    lastActivityNs_ = sim::MonotonicNs();
    unsettled_ = true;
  }
}

bool LineBridge::ServeModemRequest() {
  ModemRequest request{};
  if (!lines_->Accept(request)) return true;
  std::uint32_t reply = 0;
  switch (request.op) {
    case kModemGet:
      reply = modemBits_ | kModemInputs;
      break;
    case kModemSet:
      reply = ChangeModemLines(request.bits & kModemOutputs);
      break;
    case kModemRaise:
      reply = ChangeModemLines(modemBits_ | (request.bits & kModemOutputs));
      break;
    case kModemLower:
      reply = ChangeModemLines(modemBits_ & ~(request.bits & kModemOutputs));
      break;
    case kSerialSet:
      lowLatency_ = request.bits != 0;
      [[fallthrough]];
    case kSerialGet:
      reply = lowLatency_ ? 1 : 0;
      break;
    default:
      break;
  }
  lines_->Reply(reply);
  return true;
}

// The bytes the host wrote before the change go in before its edge.
std::uint32_t LineBridge::ChangeModemLines(std::uint32_t bits) {
  const std::uint32_t changed = bits ^ modemBits_;
  if (changed != 0 && !TakeBytes()) stopped_ = true;
  modemBits_ = bits;
  if (changed & TIOCM_RTS) {
    const bool high = (bits & TIOCM_RTS) != 0;
    in_.push_back({true, high, 0});
    Note(high ? "rts=high" : "rts=low");
    lastActivityNs_ = sim::MonotonicNs();
    unsettled_ = true;
  }
  return modemBits_ | kModemInputs;
}

// Bytes go to the UART while it has room; an RTS edge reaches the pin once
// the bytes before it are through the line.
void LineBridge::Feed() {
  while (!in_.empty()) {
    const Event& event = in_.front();
    if (event.edge) {
      if (board_.cycle() < wireFreeCycle_) return;
      board_.SetRts(event.rts);
      if (!event.rts) settled_();
    } else {
      if (!board_.TakesInput()) return;
      wireFreeCycle_ = std::max(wireFreeCycle_, board_.cycle()) + board_.CyclesPerByte();
      board_.Receive(event.byte);
    }
    in_.pop_front();
  }
}

bool LineBridge::DeliverDue() {
  while (!out_.empty() && out_.front().first <= board_.cycle()) {
    const std::uint8_t byte = out_.front().second;
    const ssize_t n = write(line_, &byte, 1);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return true;
    if (n != 1) {
      std::fprintf(stderr, "romboard: cannot write the line: %s\n", std::strerror(errno));
      return false;
    }
    out_.pop_front();
  }
  return true;
}

// Simulated time runs at `speed_` times the wall clock: ahead, the board
// waits (for the wall clock or the host, whichever comes first).
bool LineBridge::Pace() {
  const std::int64_t now = sim::MonotonicNs();
  const auto paced = static_cast<std::int64_t>(static_cast<double>(board_.NowNs()) / speed_);
  const std::int64_t ahead = paced - (now - originNs_);
  if (ahead < -kBehindNs) originNs_ += -kBehindNs - ahead;
  if (ahead <= kAheadNs) return true;
  pollfd fds[3] = {{line_, POLLIN, 0}, {stop_, POLLIN, 0}, {-1, POLLIN, 0}};
  if (lines_ != nullptr) fds[2].fd = lines_->fd();
  const timespec wait{static_cast<time_t>(ahead / 1000000000),
                      static_cast<long>(ahead % 1000000000)};
  ppoll(fds, 3, &wait, nullptr);
  return true;
}

void LineBridge::Note(const std::string& what) {
  char at[48];
  std::snprintf(at, sizeof at, " t=%.3f sim=%.3f",
                static_cast<double>(sim::MonotonicNs() - originNs_) / 1e6,
                static_cast<double>(board_.NowNs()) / 1e6);
  note_(what + at);
}

}  // namespace romprog::board

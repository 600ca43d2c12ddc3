#include "sim/romsim/romsim_server.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "sim/monotonic_clock.h"
#include "sim/romsim/serial_device.h"

namespace romprog::sim {
namespace {

// How often CTS is looked at: well inside the 10 ms the host waits after RTS.
constexpr int kCtsSampleMs = 2;
// A command byte counts only once RTS has been up this long.
constexpr std::int64_t kRtsSettleNs = 10 * 1000000LL;
constexpr std::uint32_t kModemOutputs = TIOCM_RTS | TIOCM_DTR;
// What the device shows the host on its inputs: present and ready.
constexpr std::uint32_t kModemInputs = TIOCM_CTS | TIOCM_DSR | TIOCM_CAR;

// The line is non-blocking (a modem-line change may have taken the bytes a
// poll reported): a full queue is waited out here.
bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN) {
      pollfd entry{fd, POLLOUT, 0};
      if (poll(&entry, 1, 1000) > 0) continue;
    }
    if (n <= 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

RomsimServer::RomsimServer(DeviceModel& model, ExchangeRecorder& recorder,
                           const RomsimOptions& options, int lineFd, int stopFd,
                           ModemLinesSocket* lines)
    : model_(model),
      recorder_(recorder),
      pacer_(options.paceBaud),
      latency_(options.latencyMs),
      lines_(lines),
      line_(lineFd),
      stop_(stopFd),
      silenceMs_(options.silenceMs),
      followCts_(options.followCts),
      paced_(options.paceBaud > 0),
      startNs_(MonotonicNs()),
      lateMs_(options.lateMs) {}

int RomsimServer::Run() {
  fcntl(line_, F_SETFL, fcntl(line_, F_GETFL) | O_NONBLOCK);
  if (followCts_) {
    if (!ReadCts(line_, cts_)) {
      std::fprintf(stderr, "romsim: the line has no modem lines to follow: %s\n",
                   std::strerror(errno));
      return 1;
    }
    // From here on the model follows RTS, low as well as high.
    SetRtsLine(cts_);
  }
  for (;;) {
    pollfd fds[3] = {{line_, POLLIN, 0}, {stop_, POLLIN, 0}, {-1, POLLIN, 0}};
    if (lines_ != nullptr) fds[2].fd = lines_->fd();
    const int n = poll(fds, 3, PollTimeoutMs());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      std::perror("romsim: poll");
      return Stop(1);
    }
    if (fds[1].revents != 0) return Stop(0);
    if (!DeliverDue() || !DeliverLate()) return Stop(1);
    if (followCts_ && !SampleCts()) return Stop(1);
    if ((fds[2].revents & POLLIN) && !ServeModemRequest()) return Stop(1);
    if (n == 0) {
      if (!rtsFramed_ && awaitingSilence_ &&
          MonotonicNs() - lastByteNs_ >= silenceMs_ * 1000000LL) {
        EndBySilence();
      }
      continue;
    }
    if (fds[0].revents & POLLIN) {
      if (!TakeBytes()) return Stop(1);
    } else if (fds[0].revents != 0) {
      std::fprintf(stderr, "romsim: the line has gone\n");
      return Stop(1);
    }
  }
}

void RomsimServer::EndBySilence() {
  model_.EndOfExchange("silence");
  awaitingSilence_ = false;
  recorder_.CatchUp(model_);
}

int RomsimServer::PollTimeoutMs() const {
  int timeout = -1;
  if (followCts_) timeout = kCtsSampleMs;
  if (!rtsFramed_ && awaitingSilence_) {
    const std::int64_t left = silenceMs_ * 1000000LL - (MonotonicNs() - lastByteNs_);
    timeout = static_cast<int>(std::max<std::int64_t>(0, left) / 1000000 + 1);
  }
  if (!late_.empty()) {
    const std::int64_t left = std::max<std::int64_t>(0, lateDueNs_ - MonotonicNs());
    const int lateMs = static_cast<int>(left / 1000000 + 1);
    timeout = timeout < 0 ? lateMs : std::min(timeout, lateMs);
  }
  const std::int64_t due = latency_.NsToDue(MonotonicNs());
  if (due >= 0) {
    // Rounded down: the rest of the wait is DeliverDue's spin.
    const int dueMs = static_cast<int>(due / 1000000);
    timeout = timeout < 0 ? dueMs : std::min(timeout, dueMs);
  }
  return timeout;
}

bool RomsimServer::TakeBytes() {
  std::uint8_t in[256];
  const ssize_t n = read(line_, in, sizeof in);
  if (n < 0 && (errno == EINTR || errno == EAGAIN)) return true;
  if (n <= 0) {
    std::fprintf(stderr, "romsim: cannot read the line: %s\n",
                 n == 0 ? "end of file" : std::strerror(errno));
    return false;
  }
  awaitingSilence_ = true;
  lastByteNs_ = MonotonicNs();
  const int ignoredBefore = model_.ignoredBytes();
  strayBytes_ = 0;
  std::vector<std::uint8_t> out;
  for (ssize_t i = 0; i < n; ++i) {
    // Behind a latency timer the line time is scheduled with the answer's
    // delivery, so a cell costs one wake-up rather than three.
    if (latency_.active()) {
      pacer_.Schedule();
    } else {
      pacer_.Received();
    }
    if (!PassesRts()) continue;
    out.clear();
    model_.Receive(in[i], out);
    if (model_.TakeLateByte()) {
      // The last byte: nothing follows it before the host's acknowledge.
      late_.assign(1, out.back());
      out.pop_back();
      lateDueNs_ = MonotonicNs() + lateMs_ * 1000000LL;
    }
    if (!Answer(out)) return false;
  }
  recorder_.CatchUp(model_);
  if (rtsFramed_) strayBytes_ += model_.ignoredBytes() - ignoredBefore;
  if (strayBytes_ > 0) {
    Note("stray bytes=" + std::to_string(strayBytes_) +
         ((modemBits_ & TIOCM_RTS) ? " rts=high" : " rts=low"));
  }
  return true;
}

// Every byte the host wrote so far: the poll of a pty master first moves
// what is still on its way from the slave.
void RomsimServer::TakeWaitingBytes() {
  for (;;) {
    pollfd entry{line_, POLLIN, 0};
    // A line that fails here fails the main loop's next read too.
    if (poll(&entry, 1, 0) <= 0 || !(entry.revents & POLLIN) || !TakeBytes()) return;
  }
}

// A command byte the device cannot take yet: RTS has not been up long enough.
bool RomsimServer::PassesRts() {
  if (!rtsFramed_ || !(modemBits_ & TIOCM_RTS) || model_.InExchange()) return true;
  if (MonotonicNs() - rtsRaisedNs_ >= kRtsSettleNs) return true;
  ++strayBytes_;
  return false;
}

bool RomsimServer::Answer(const std::vector<std::uint8_t>& bytes) {
  if (!paced_ && !latency_.active()) return Deliver(bytes);
  for (std::uint8_t b : bytes) {
    if (latency_.active()) {
      latency_.Hold(b, pacer_.Schedule());
      continue;
    }
    pacer_.Sending();
    if (!Deliver({b})) return false;
  }
  return DeliverDue();
}

bool RomsimServer::Deliver(const std::vector<std::uint8_t>& bytes) {
  if (WriteAll(line_, bytes.data(), bytes.size())) return true;
  std::fprintf(stderr, "romsim: cannot write the line: %s\n", std::strerror(errno));
  return false;
}

// Sends what the adapter holds once its timer has run out; the wait's last
// fraction of a millisecond is spun, as poll counts in whole ones. The bytes
// the host wrote before a modem-line change are taken before the change:
// the host waits for the answer meanwhile.
bool RomsimServer::DeliverDue() {
  const std::int64_t due = latency_.NsToDue(MonotonicNs());
  if (due < 0 || due > 1000000) return true;
  while (!latency_.Due(MonotonicNs())) {
  }
  return Deliver(latency_.Release(MonotonicNs()));
}

// The late byte goes out whatever became of the exchange meanwhile: it was
// on its way.
bool RomsimServer::DeliverLate() {
  if (late_.empty() || MonotonicNs() < lateDueNs_) return true;
  Note("late byte sent");
  const std::vector<std::uint8_t> late = std::move(late_);
  late_.clear();
  return Deliver(late);
}

bool RomsimServer::ServeModemRequest() {
  ModemRequest request{};
  if (!lines_->Accept(request)) return true;
  if (!rtsFramed_) {
    // The host has the library: its RTS, low until raised, frames from now on.
    rtsFramed_ = true;
    model_.SetRts(false);
  }
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
      if (latency_.lowLatency() != (request.bits != 0)) {
        Note(request.bits != 0 ? "low-latency=on" : "low-latency=off");
      }
      latency_.SetLowLatency(request.bits != 0);
      [[fallthrough]];
    case kSerialGet:
      reply = latency_.lowLatency() ? 1 : 0;
      break;
    default:
      break;
  }
  lines_->Reply(reply);
  return true;
}

std::uint32_t RomsimServer::ChangeModemLines(std::uint32_t bits) {
  const std::uint32_t changed = bits ^ modemBits_;
  if (changed != 0) TakeWaitingBytes();
  if (changed & TIOCM_DTR) {
    modemBits_ ^= TIOCM_DTR;
    Note((bits & TIOCM_DTR) ? "dtr=high" : "dtr=low");
  }
  if (changed & TIOCM_RTS) SetRtsLine((bits & TIOCM_RTS) != 0);
  return modemBits_ | kModemInputs;
}

void RomsimServer::SetRtsLine(bool high) {
  rtsFramed_ = true;
  modemBits_ = high ? (modemBits_ | TIOCM_RTS) : (modemBits_ & ~TIOCM_RTS);
  if (high) {
    rtsRaisedNs_ = MonotonicNs();
    Note("rts=high");
    model_.SetRts(true);
    return;
  }
  model_.SetRts(false);
  recorder_.CatchUp(model_);
  Note("rts=low");
}

void RomsimServer::Note(const std::string& what) {
  char at[32];
  std::snprintf(at, sizeof at, " t=%.3f", static_cast<double>(MonotonicNs() - startNs_) / 1e6);
  recorder_.Note(what + at);
}

bool RomsimServer::SampleCts() {
  bool high = false;
  if (!ReadCts(line_, high)) return false;
  if (high != cts_) {
    cts_ = high;
    SetRtsLine(high);
  }
  return true;
}

int RomsimServer::Stop(int status) {
  model_.EndOfExchange("stopped");
  recorder_.CatchUp(model_);
  return recorder_.failed() ? 1 : status;
}

}  // namespace romprog::sim

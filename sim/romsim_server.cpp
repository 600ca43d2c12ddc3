#include "sim/romsim_server.h"

#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "sim/serial_device.h"

namespace romprog::sim {
namespace {

// How often CTS is looked at: well inside the 10 ms the host waits after RTS.
constexpr int kCtsSampleMs = 2;

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

RomsimServer::RomsimServer(DeviceModel& model, ExchangeRecorder& recorder,
                           const RomsimOptions& options, int lineFd, int hostFd, int stopFd)
    : model_(model),
      recorder_(recorder),
      pacer_(options.paceBaud),
      line_(lineFd),
      host_(hostFd),
      stop_(stopFd),
      silenceMs_(options.silenceMs),
      followCts_(options.followCts),
      paced_(options.paceBaud > 0) {}

int RomsimServer::Run() {
  if (followCts_) {
    if (!ReadCts(line_, cts_)) {
      std::fprintf(stderr, "romsim: the line has no modem lines to follow: %s\n",
                   std::strerror(errno));
      return 1;
    }
    // From here on the model follows RTS, low as well as high.
    model_.SetRts(cts_);
  }
  for (;;) {
    pollfd fds[2] = {{line_, POLLIN, 0}, {stop_, POLLIN, 0}};
    const int n = poll(fds, 2, PollTimeout());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      std::perror("romsim: poll");
      return Stop(1);
    }
    if (fds[1].revents != 0) return Stop(0);
    if (followCts_ && !SampleCts()) return Stop(1);
    if (n == 0) {
      if (!followCts_ && awaitingSilence_) EndBySilence();
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
  // The host has given up: a byte it left unread would pass for the reply to
  // its next command. Reopening a real port empties its queue the same way.
  if (host_ >= 0) tcflush(host_, TCIFLUSH);
  recorder_.CatchUp(model_);
}

int RomsimServer::PollTimeout() const {
  if (followCts_) return kCtsSampleMs;
  return awaitingSilence_ ? silenceMs_ : -1;
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
  std::vector<std::uint8_t> out;
  for (ssize_t i = 0; i < n; ++i) {
    pacer_.Received();
    out.clear();
    model_.Receive(in[i], out);
    if (!Answer(out)) return false;
  }
  recorder_.CatchUp(model_);
  return true;
}

bool RomsimServer::Answer(const std::vector<std::uint8_t>& bytes) {
  bool ok = true;
  if (!paced_) {
    ok = WriteAll(line_, bytes.data(), bytes.size());
  } else {
    for (std::uint8_t b : bytes) {
      pacer_.Sending();
      ok = ok && WriteAll(line_, &b, 1);
    }
  }
  if (!ok) std::fprintf(stderr, "romsim: cannot write the line: %s\n", std::strerror(errno));
  return ok;
}

bool RomsimServer::SampleCts() {
  bool high = false;
  if (!ReadCts(line_, high)) return false;
  if (high != cts_) {
    cts_ = high;
    model_.SetRts(high);
    recorder_.CatchUp(model_);
  }
  return true;
}

int RomsimServer::Stop(int status) {
  model_.EndOfExchange("stopped");
  recorder_.CatchUp(model_);
  return recorder_.failed() ? 1 : status;
}

}  // namespace romprog::sim

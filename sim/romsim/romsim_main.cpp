// romsim: an emulated EPROM programmer on a pty or a serial device.
#include <signal.h>
#include <sys/signalfd.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "sim/romsim/chip_file.h"
#include "sim/romsim/exchange_recorder.h"
#include "sim/romsim/modem_lines_socket.h"
#include "sim/romsim/own_session.h"
#include "sim/romsim/pty_line.h"
#include "sim/romsim/romsim_options.h"
#include "sim/romsim/romsim_server.h"
#include "sim/romsim/serial_device.h"

namespace romprog::sim {
namespace {

int Fail(const std::string& error) {
  std::fprintf(stderr, "romsim: %s\n", error.c_str());
  return 1;
}

// SIGTERM, SIGINT and SIGHUP arrive as a readable descriptor, so the loop
// ends in order and the chip file is written.
UniqueFd StopSignals() {
  sigset_t set;
  sigemptyset(&set);
  for (int sig : {SIGTERM, SIGINT, SIGHUP}) sigaddset(&set, sig);
  sigprocmask(SIG_BLOCK, &set, nullptr);
  signal(SIGPIPE, SIG_IGN);
  return UniqueFd(signalfd(-1, &set, SFD_CLOEXEC));
}

int Serve(const RomsimOptions& options) {
  std::string error;
  const bool onPty = options.devicePath.empty();
  if (onPty && !EnterOwnSession(error)) return Fail(error);
  // Before the pty opens: letting it go hangs it up, which sends us SIGHUP.
  const UniqueFd stop = StopSignals();
  if (!stop.valid()) return Fail("cannot watch for signals");
  std::unique_ptr<PtyLine> pty;
  UniqueFd device;
  if (onPty) {
    if (!(pty = PtyLine::Open(error))) return Fail(error);
    if (!options.linkPath.empty() && !pty->MakeLink(options.linkPath, error)) return Fail(error);
  } else if (!(device = OpenSerialDevice(options.devicePath, error)).valid()) {
    return Fail(error);
  }

  ChipImage chip;
  chip.fill(0xFF);
  if (!options.chipFile.empty() && !LoadOrCreateChip(options.chipFile, chip, error)) {
    return Fail(error);
  }
  ExchangeRecorder recorder(options.logFile, options.chipFile);
  if (!recorder.Open(error)) return Fail(error);
  DeviceModel model(chip, options.device);

  const int line = pty ? pty->fd() : device.get();
  // Hosts preloading the modem-lines library hand their RTS and DTR over here.
  // Listening before the path is out: a host that opens the line at once
  // would otherwise find no one and run without RTS.
  ModemLinesSocket lines;
  if (pty && !lines.Listen(pty->slaveFd(), error)) return Fail(error);
  std::printf("%s\n", pty ? pty->slavePath().c_str() : options.devicePath.c_str());
  std::fflush(stdout);
  return RomsimServer(model, recorder, options, line, stop.get(), pty ? &lines : nullptr).Run();
}

}  // namespace
}  // namespace romprog::sim

int main(int argc, char** argv) {
  using namespace romprog::sim;
  RomsimOptions options;
  std::string error;
  if (!ParseRomsimOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
    std::fprintf(stderr, "romsim: %s\n%s", error.c_str(), RomsimUsage());
    return 2;
  }
  if (options.help) {
    std::fputs(RomsimUsage(), stdout);
    return 0;
  }
  return Serve(options);
}

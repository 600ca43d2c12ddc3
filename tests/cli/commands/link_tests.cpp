// romtool link: the warning of an adapter's latency timer.
#include <gtest/gtest.h>

#include "tests/cli/commands/romtool_fixture.h"

namespace romtool::testing {
namespace {

TEST_F(RomtoolTest, LinkWarnsOfAnAdapterTimerOnlyWhenItHoldsTheBytes) {
  framed = false;  // no library: the low-latency request is refused, as by a plain driver
  unsetenv("LD_PRELOAD");
  for (const char* timer : {"16", "1"}) {
    Start({"--latency-ms", timer, "--pace", "9600"});  // the line time of a real bench
    const Outcome run = Romtool({"link", "-p", port, "-c", "27C64"});
    EXPECT_EQ(run.code, 0) << run.output;
    EXPECT_EQ(run.output.find("latency timer") != std::string::npos, timer[1] != '\0')
        << timer << " ms:\n"
        << run.output;
    // A pty has no adapter's timer to set; an adapter (a sysfs tree of one) has.
    if (timer[1] != '\0') {
      EXPECT_SAYS(run, port + " shows no latency timer to set");
      const std::string name = port.substr(port.rfind('/') + 1);
      const std::string timerFile = dir / "sys/class/tty" + ("/" + name + "/device/latency_timer");
      std::filesystem::create_directories(std::filesystem::path(timerFile).parent_path());
      WriteWhole(timerFile, "16\n");
      setenv("ROMPROG_SYSFS", (dir / "sys").c_str(), 1);
      const Outcome adapter = Romtool({"link", "-p", port, "-c", "27C64"});
      unsetenv("ROMPROG_SYSFS");
      EXPECT_SAYS(adapter, "Fix: as root, echo 1 > " + timerFile);
    }
    romsim->Stop();
  }
  Start({"--silent-command"});
  EXPECT_EQ(Romtool({"link", "-p", port}).code, 3);
}

}  // namespace
}  // namespace romtool::testing

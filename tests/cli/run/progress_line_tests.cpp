#include <gtest/gtest.h>

#include "cli/run/job_plan.h"
#include "cli/run/progress_line.h"

namespace romtool::testing {
namespace {

TEST(Progress, NoRateOrTimeLeftUntilOneCanBeMeasured) {
  EXPECT_EQ(StepLine(FiguresOf("read", 1, 1, 820, 8192, 820, 0.1), 0.1),
            "read 1/1: 820/8192 cells, 0.1 s, ? B/s; job 10%, ? left");
  EXPECT_EQ(StepLine(FiguresOf("read", 1, 1, 4096, 8192, 4096, 1.0), 1.0),
            "read 1/1: 4096/8192 cells, 1.0 s, 4096 B/s; job 50%, 0:01 left");
}

TEST(Progress, FinishedWorkShowsItsRateHoweverQuick) {
  EXPECT_EQ(StepLine(FiguresOf("verify", 1, 1, 8192, 8192, 8192, 0.05), 0.05),
            "verify 1/1: 8192/8192 cells, 0.1 s, 163840 B/s; job 100%, 0:00 left");
}

// The time left is the whole job's: the steps still to come count, at the
// rate the line has shown so far.
TEST(Progress, TimeLeftCountsTheStepsToCome) {
  // 1000 cells of the check in 2 s: 500 a second, 7192 + 2 x 8192 to go.
  const JobFigures start = FiguresOf("check", 1, 3, 1000, 8192, 1000, 2.0);
  EXPECT_EQ(start.percent, 4);
  EXPECT_NEAR(start.left, (7192 + 2 * 8192) / 500.0, 1e-9);
  const JobFigures last = FiguresOf("verify", 3, 3, 4096, 8192, 20480, 40.96);
  EXPECT_EQ(last.percent, 83);
  EXPECT_NEAR(last.left, 4096 / 500.0, 1e-9);
  // A step past the plan (a second read-back) grows the job.
  EXPECT_EQ(FiguresOf("verify again", 4, 3, 0, 8192, 24576, 49.0).steps, 4);
}

// A read's passes are the job's steps: the line numbers them once, as the
// plan counts them, --until-stable's 100 at most included.
TEST(Progress, ReadPassesAreNumberedOnceAsPlanned) {
  Options read;
  read.command = Command::Read;
  EXPECT_EQ(
      StepLine(FiguresOf(ReadStepName(read), 1, PlannedSteps(read), 8192, 8192, 8192, 2.0), 2.0),
      "read 1/1: 8192/8192 cells, 2.0 s, 4096 B/s; job 100%, 0:00 left");
  read.passes = 20;
  read.given = {{"--passes", "20"}};
  const JobFigures second =
      FiguresOf(ReadStepName(read), 2, PlannedSteps(read), 0, 8192, 8192, 2.0);
  EXPECT_EQ(FitLine("", second, 60), "pass 2/20 [.............]   5%  0/8192  4096 B/s  0:38 left");
  EXPECT_EQ(StepLine(second, 0.0).rfind("pass 2/20: ", 0), 0u) << StepLine(second, 0.0);
  Options stable;
  stable.command = Command::Read;
  stable.untilStable = 10;
  EXPECT_EQ(ReadStepName(stable), "pass");
  EXPECT_EQ(PlannedSteps(stable), 100);
  stable.passes = 5;
  stable.given = {{"--passes", "5"}, {"--until-stable", "10"}};
  EXPECT_EQ(PlannedSteps(stable), 5);
}

TEST(Progress, BarFillsWithTheWorkAndCountsMinutes) {
  const std::string bar = FitLine("", FiguresOf("read", 1, 1, 8192, 32768, 8192, 17.0), 120);
  EXPECT_EQ(bar.substr(0, 41), "read 1/1 [#######.......................]");
  EXPECT_NE(bar.find(" 25%  8192/32768  482 B/s  0:51 left"), std::string::npos) << bar;
}

// Each port's line stays within the terminal, whatever its name: the
// fields go first, the name is shortened, the step, percent and time left stay.
TEST(Progress, TheLineFitsTheWidth) {
  const std::string byId = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10KX2B3-if00-port0";
  const JobFigures f = FiguresOf("write", 2, 3, 1922, 8192, 10114, 21.0);
  for (int width : {40, 50, 60, 70, 80, 100, 120, 200}) {
    for (const std::string& name : {std::string("/dev/pts/0"), byId, std::string("COM3")}) {
      const std::string line = FitLine(name, f, width);
      EXPECT_LT(line.size(), static_cast<std::size_t>(width)) << line;
      EXPECT_NE(line.find("write 2/3"), std::string::npos) << line;
      EXPECT_NE(line.find(" 41%"), std::string::npos) << line;
      EXPECT_NE(line.find(" left"), std::string::npos) << line;
    }
  }
  EXPECT_EQ(FitLine("/dev/pts/0", f, 120).rfind("/dev/pts/0: write 2/3 [", 0), 0u);
  EXPECT_NE(FitLine(byId, f, 80).find("A10KX2B3-if00-port0: write 2/3"), std::string::npos);
  // Narrow: no bar, no rate, no cells.
  EXPECT_EQ(FitLine("/dev/pts/0", f, 40), "/dev/pts/0: write 2/3  41%  0:30 left");
  EXPECT_EQ(ResultLine(byId, "ok", 51.24, 40), "~B_UART_A10KX2B3-if00-port0: ok, 51.2 s");
  EXPECT_EQ(ResultLine(byId, "no-answer", 3.0, 0), "no-answer, 3.0 s");
  // A port yet to start keeps the end of its name, which tells adapters apart.
  EXPECT_EQ(WaitingLine(byId, 40), "~DI_FT232R_USB_UART_A10KX2B3-if00-port0");
  EXPECT_EQ(WaitingLine(byId, 80), byId);
  EXPECT_EQ(WaitingLine("/tmp/t/serial/by-id/usb-FTDI_FT232R_USB_UART_A10KX2B3-if00-port0", 60),
            "usb-FTDI_FT232R_USB_UART_A10KX2B3-if00-port0");
  EXPECT_EQ(WaitingLine("COM3", 3), "~3");
}

}  // namespace
}  // namespace romtool::testing

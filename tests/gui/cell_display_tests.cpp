// The status line during a transfer: cells reach the screen at the pace of a
// repaint, and the newest one is always there when it has to be.
#include <gtest/gtest.h>

#include "gui/cell_display.h"
#include "tests/gui/test_app.h"
#include "tests/gui/test_ports.h"

namespace romprog::testing {
namespace {

struct DisplayTest : ::testing::Test {
  RecordingPorts ports{{"COM1"}};
  TestApp t{&ports};
  void SetUp() override {
    t.Start();
    t.app.state.activeSize = 8192;
  }
  Text Address() { return t.ui.GetText(id::kStatusAddress); }
  Text Value() { return t.ui.GetText(id::kStatusValue); }
  int Progress() { return t.ui.GetState(id::kProgress); }
};

TEST_F(DisplayTest, FirstCellAtOnceThenOnePerInterval) {
  ports.Pause(5000);
  CellDisplay display(t.app);
  display.Passed(0, "17");
  EXPECT_EQ(Address(), "0");
  EXPECT_EQ(Value(), "17");
  ports.Pause(kCellDisplayIntervalMs - 1);
  display.Passed(1, "18");
  display.Passed(2, "19");
  EXPECT_EQ(Address(), "0");
  ports.Pause(1);
  display.Passed(3, "20");
  EXPECT_EQ(Address(), "3");
  EXPECT_EQ(Value(), "20");
}

TEST_F(DisplayTest, FlushShowsTheNewestCellWithItsProgress) {
  CellDisplay display(t.app);
  display.Passed(0, "1");
  display.Passed(8191, "255");
  EXPECT_EQ(Address(), "0");
  EXPECT_EQ(Progress(), 0);
  display.Flush();
  EXPECT_EQ(Address(), "8191");
  EXPECT_EQ(Value(), "255");
  EXPECT_EQ(Progress(), 101);
}

TEST_F(DisplayTest, FlushWithNothingNewLeavesTheScreenAlone) {
  CellDisplay display(t.app);
  display.Flush();
  EXPECT_EQ(Address(), "----");
  display.Passed(4, "9");
  t.ui.SetText(id::kStatusAddress, "elsewhere");
  display.Flush();
  EXPECT_EQ(Address(), "elsewhere");
}

TEST_F(DisplayTest, TheBarIsSetWhenItsValueChanges) {
  t.ui.SetState(id::kProgress, 40);  // left from an earlier command
  CellDisplay display(t.app);
  display.Passed(0, "0");
  EXPECT_EQ(Progress(), 0);
  t.ui.SetState(id::kProgress, 77);
  ports.Pause(kCellDisplayIntervalMs);
  display.Passed(80, "0");  // still 0: not set again
  EXPECT_EQ(Progress(), 77);
  ports.Pause(kCellDisplayIntervalMs);
  display.Passed(81, "0");
  EXPECT_EQ(Progress(), 1);
}

TEST_F(DisplayTest, ClockWrappingDoesNotStopTheDisplay) {
  ports.line.SetTickCount(0xFFFFFFF0u);
  CellDisplay display(t.app);
  display.Passed(0, "0");
  ports.Pause(20);  // wrapped
  display.Passed(1, "1");
  EXPECT_EQ(Address(), "1");
}

}  // namespace
}  // namespace romprog::testing

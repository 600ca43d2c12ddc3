// The port selector: probing the ports that open, and opening the chosen one.
#include <gtest/gtest.h>

#include "core/protocol/line_settings.h"
#include "gui/exchange.h"
#include "gui/port_selector.h"
#include "gui/texts.h"
#include "tests/gui/fake_line.h"
#include "tests/gui/test_app.h"

namespace romprog::testing {
namespace {

// The selector lists each port by its name, right-aligned.
TEST(PortSelector, ItemIsThePortNameRightAligned) {
  EXPECT_EQ(PortSelectorItem(3), "       COM3");
}

struct LineTest : ::testing::Test {
  FakeLine line;
  TestApp t{&line};
};

TEST_F(LineTest, ProbeListsThePortsThatOpenInAscendingOrderAndSelectsTheFirst) {
  line.present = {"COM10", "COM3", "COM11"};
  t.Start();
  const std::vector<Text> want{"       COM3", "       COM10"};
  EXPECT_EQ(t.ui.control(id::kPortSelector).items, want);
  EXPECT_EQ(t.ui.GetState(id::kPortSelector), 0);
  // Every one of COM1 to COM10 was tried with the full settings, nothing above.
  ASSERT_EQ(line.openedSettings.size(), 10u);
  for (int n = 1; n <= 10; ++n) {
    EXPECT_EQ(line.openedSettings[n - 1], "COM" + std::to_string(n) + ":9600,N,8,1");
  }
  EXPECT_EQ(line.openNow, 0);
  EXPECT_FALSE(t.app.state.programmerPort);
  EXPECT_TRUE(line.rtsCalls.empty());
}

TEST_F(LineTest, ProbeWithoutPortsLeavesTheSelectorEmptyWithNothingSelected) {
  line.present.clear();
  t.Start();
  EXPECT_TRUE(t.ui.control(id::kPortSelector).items.empty());
  EXPECT_EQ(t.ui.GetState(id::kPortSelector), -1);
  EXPECT_EQ(t.ui.GetText(id::kPortSelector), "");
}

TEST_F(LineTest, OpenTakesTheSelectedPortAndLowersRts) {
  line.present = {"COM3", "COM10"};
  t.Start();
  t.ui.SetState(id::kPortSelector, 1);
  OpenProgrammerPort(t.app);
  EXPECT_TRUE(t.app.state.programmerPort);
  EXPECT_EQ(line.openedSettings.back(), "COM10:9600,N,8,1");
  EXPECT_EQ(line.rtsCalls, std::vector<bool>{false});
  EXPECT_TRUE(t.ui.boxes.empty());

  // Opening again closes the open port first: the same device opens anew.
  OpenProgrammerPort(t.app);
  EXPECT_TRUE(t.app.state.programmerPort);
  EXPECT_EQ(line.mostOpenAtOnce, 1);
  EXPECT_EQ(line.openNow, 1);
}

TEST_F(LineTest, PortNotAvailableNamesThePortOrNothing) {
  line.present = {"COM3", "COM10"};
  t.Start();
  t.ui.SetState(id::kPortSelector, 1);
  line.held = {"COM10"};  // taken by another program since the probe
  OpenProgrammerPort(t.app);
  EXPECT_FALSE(t.app.state.programmerPort);
  ASSERT_EQ(t.ui.boxes.size(), 1u);
  EXPECT_EQ(t.ui.boxes[0].text, Cp1251("Порт COM10 Не доступен!"));
  EXPECT_EQ(t.ui.boxes[0].caption, "");
  EXPECT_EQ(t.ui.boxes[0].flags, 0x30u);

  t.ui.SetState(id::kPortSelector, -1);
  OpenProgrammerPort(t.app);
  EXPECT_EQ(line.openedSettings.back(), ":9600,N,8,1");
  ASSERT_EQ(t.ui.boxes.size(), 2u);
  EXPECT_EQ(t.ui.boxes[1].text, Cp1251("Порт  Не доступен!"));
  EXPECT_TRUE(line.rtsCalls.empty());
}

TEST_F(LineTest, FailedOpenLeavesNoPortEvenWhenOneWasOpen) {
  t.Start();
  OpenProgrammerPort(t.app);
  ASSERT_TRUE(t.app.state.programmerPort);
  line.present.clear();
  OpenProgrammerPort(t.app);
  EXPECT_FALSE(t.app.state.programmerPort);
  EXPECT_EQ(line.openNow, 0);
}

}  // namespace
}  // namespace romprog::testing

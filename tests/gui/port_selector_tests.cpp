// The serial line as the commands use it: names and settings, the port
// selector, opening the chosen port, and the wait for a reply byte.
#include <gtest/gtest.h>

#include "core/protocol/line_settings.h"
#include "gui/exchange.h"
#include "gui/port_selector.h"
#include "gui/texts.h"
#include "tests/unit/programmer_fake_line.h"
#include "tests/unit/test_app.h"

namespace romprog::testing {
namespace {

TEST(LineSettings, NamesAndSettingsText) {
  EXPECT_EQ(PortName(3), "COM3");
  EXPECT_EQ(PortName(10), "COM10");
  EXPECT_EQ(PortSelectorItem(3), "       COM3");
  const LineSettings line = ProgrammerLine("COM3");
  EXPECT_EQ(line.device, "COM3");
  EXPECT_EQ(SettingsText(line), "COM3:9600,N,8,1");
  LineSettings other = ProgrammerLine("/dev/ttyUSB0");
  other.baud = 19200;
  other.parity = 'E';
  other.dataBits = 7;
  other.stopBits = 2;
  EXPECT_EQ(SettingsText(other), "/dev/ttyUSB0:19200,E,7,2");
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

// The wait as an exchange runs it: the shared byte wait, the windows let to
// repaint after every slice that brought nothing, one report when a second
// passes without a byte.
struct Reply {
  bool came = false;
  std::uint8_t byte = 0;
};
Reply WaitForReply(App& app) {
  Reply reply;
  reply.came = WaitForByte(*app.state.programmerPort, app.clock, reply.byte, [&app] {
                 app.ui.KeepAlive();
               }).ok();
  if (!reply.came) ReportNoReply(app);
  return reply;
}

struct WaitTest : LineTest {
  void SetUp() override {
    t.Start();
    OpenProgrammerPort(t.app);
    ASSERT_TRUE(t.app.state.programmerPort);
  }
};

TEST_F(WaitTest, AByteAlreadyWaitingIsTakenAtOnce) {
  line.now = 500;
  line.Deliver(0x5A, 400);
  const Reply reply = WaitForReply(t.app);
  EXPECT_TRUE(reply.came);
  EXPECT_EQ(reply.byte, 0x5A);
  EXPECT_EQ(line.now, 500u);
  EXPECT_TRUE(t.ui.boxes.empty());
}

TEST_F(WaitTest, AByteIsTakenWhenItArrivesNotAtTheEndOfASlice) {
  line.Deliver(0x01, 333);
  const Reply reply = WaitForReply(t.app);
  EXPECT_TRUE(reply.came);
  EXPECT_EQ(reply.byte, 0x01);
  EXPECT_EQ(line.now, 333u);
  // The windows were let to repaint between the slices of the wait.
  EXPECT_EQ(line.readSlices, 3);
  EXPECT_GE(t.ui.keepAlives, 3);
}

TEST_F(WaitTest, NoByteShowsTheMessageOnceAfterOneSecond) {
  line.now = 1234;
  std::uint32_t shownAt = 0;
  t.ui.onBox = [&](const ShownBox&) { shownAt = line.now; };
  EXPECT_FALSE(WaitForReply(t.app).came);
  ASSERT_EQ(t.ui.boxes.size(), 1u);
  EXPECT_EQ(t.ui.boxes[0].text, Cp1251("Нет ответа от программатора."));
  EXPECT_EQ(t.ui.boxes[0].caption, "");
  EXPECT_EQ(t.ui.boxes[0].flags, 0x30u);
  EXPECT_EQ(shownAt, 1234u + 1000u);
  EXPECT_GE(t.ui.keepAlives, 9);  // 1000 ms in slices of at most 110 ms
}

TEST_F(WaitTest, TheTimeOutSurvivesTheTickCountWrapping) {
  line.now = 0xFFFFFF00u;
  std::uint32_t shownAt = 0;
  t.ui.onBox = [&](const ShownBox&) { shownAt = line.now; };
  EXPECT_FALSE(WaitForReply(t.app).came);
  EXPECT_EQ(shownAt, 0xFFFFFF00u + 1000u);
}

TEST_F(WaitTest, EveryByteGetsAFreshSecond) {
  line.Deliver(0x11, 990);
  line.Deliver(0x22, 1980);
  line.Deliver(0x33, 3100);  // 1120 ms after the wait for it began
  EXPECT_EQ(WaitForReply(t.app).byte, 0x11);
  const Reply second = WaitForReply(t.app);
  EXPECT_TRUE(second.came);
  EXPECT_EQ(second.byte, 0x22);
  EXPECT_FALSE(WaitForReply(t.app).came);
  EXPECT_EQ(line.now, 2980u);
  EXPECT_EQ(t.ui.boxes.size(), 1u);
  // A later wait takes the late byte.
  const Reply late = WaitForReply(t.app);
  EXPECT_TRUE(late.came);
  EXPECT_EQ(late.byte, 0x33);
}

}  // namespace
}  // namespace romprog::testing

// The serial line as the commands use it: names and settings, the port
// selector, opening the chosen port, and the wait for a reply byte.
#include <gtest/gtest.h>

#include "core/protocol/line_settings.h"
#include "gui/port_selector.h"
#include "gui/serial_line.h"
#include "gui/texts.h"
#include "programmer_fake_line.h"
#include "test_app.h"

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
  EXPECT_FALSE(t.app.state.ProgrammerPort);
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
  EXPECT_TRUE(t.app.state.ProgrammerPort);
  EXPECT_EQ(line.openedSettings.back(), "COM10:9600,N,8,1");
  EXPECT_EQ(line.rtsCalls, std::vector<bool>{false});
  EXPECT_TRUE(t.ui.boxes.empty());

  // Opening again closes the open port first: the same device opens anew.
  OpenProgrammerPort(t.app);
  EXPECT_TRUE(t.app.state.ProgrammerPort);
  EXPECT_EQ(line.mostOpenAtOnce, 1);
  EXPECT_EQ(line.openNow, 1);
}

TEST_F(LineTest, PortNotAvailableNamesThePortOrNothing) {
  line.present = {"COM3", "COM10"};
  t.Start();
  t.ui.SetState(id::kPortSelector, 1);
  line.held = {"COM10"};  // taken by another program since the probe
  OpenProgrammerPort(t.app);
  EXPECT_FALSE(t.app.state.ProgrammerPort);
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
  ASSERT_TRUE(t.app.state.ProgrammerPort);
  line.present.clear();
  OpenProgrammerPort(t.app);
  EXPECT_FALSE(t.app.state.ProgrammerPort);
  EXPECT_EQ(line.openNow, 0);
}

// The wait as an exchange runs it: the shared byte wait, the windows let to
// repaint after every slice that brought nothing, one report when a second
// passes without a byte.
void WaitForReply(App& app) {
  app.state.NoReply = 0;
  if (WaitForByte(*app.state.ProgrammerPort, app.clock, app.state.ReplyByte, [&app] {
        app.ui.KeepAlive();
      }).ok()) {
    return;
  }
  ReportNoReply(app);
}

struct WaitTest : LineTest {
  void SetUp() override {
    t.Start();
    OpenProgrammerPort(t.app);
    ASSERT_TRUE(t.app.state.ProgrammerPort);
  }
};

TEST_F(WaitTest, AByteAlreadyWaitingIsTakenAtOnce) {
  line.now = 500;
  line.Deliver(0x5A, 400);
  t.app.state.NoReply = 1;
  WaitForReply(t.app);
  EXPECT_EQ(t.app.state.NoReply, 0);
  EXPECT_EQ(t.app.state.ReplyByte, 0x5A);
  EXPECT_EQ(line.now, 500u);
  EXPECT_TRUE(t.ui.boxes.empty());
}

TEST_F(WaitTest, AByteIsTakenWhenItArrivesNotAtTheEndOfASlice) {
  line.Deliver(0x01, 333);
  WaitForReply(t.app);
  EXPECT_EQ(t.app.state.NoReply, 0);
  EXPECT_EQ(t.app.state.ReplyByte, 0x01);
  EXPECT_EQ(line.now, 333u);
  // The windows were let to repaint between the slices of the wait.
  EXPECT_EQ(line.readSlices, 3);
  EXPECT_GE(t.ui.keepAlives, 3);
}

TEST_F(WaitTest, NoByteShowsTheMessageOnceAfterOneSecond) {
  line.now = 1234;
  std::uint32_t shownAt = 0;
  t.ui.onBox = [&](const ShownBox&) { shownAt = line.now; };
  WaitForReply(t.app);
  EXPECT_EQ(t.app.state.NoReply, 1);
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
  WaitForReply(t.app);
  EXPECT_EQ(t.app.state.NoReply, 1);
  EXPECT_EQ(shownAt, 0xFFFFFF00u + 1000u);
}

TEST_F(WaitTest, EveryByteGetsAFreshSecond) {
  line.Deliver(0x11, 990);
  line.Deliver(0x22, 1980);
  line.Deliver(0x33, 3100);  // 1120 ms after the wait for it began
  WaitForReply(t.app);
  EXPECT_EQ(t.app.state.ReplyByte, 0x11);
  WaitForReply(t.app);
  EXPECT_EQ(t.app.state.NoReply, 0);
  EXPECT_EQ(t.app.state.ReplyByte, 0x22);
  WaitForReply(t.app);
  EXPECT_EQ(t.app.state.NoReply, 1);
  EXPECT_EQ(line.now, 2980u);
  EXPECT_EQ(t.ui.boxes.size(), 1u);
  // A later wait takes the late byte and clears the flag.
  WaitForReply(t.app);
  EXPECT_EQ(t.app.state.NoReply, 0);
  EXPECT_EQ(t.app.state.ReplyByte, 0x33);
}

TEST_F(WaitTest, SendAndRtsReachTheOpenPortOnlyWhileOneIsOpen) {
  SetRts(t.app, true);
  SendByte(t.app, 0x42);
  EXPECT_EQ(line.hostBytes, std::vector<std::uint8_t>{0x42});
  t.app.state.ProgrammerPort.reset();
  SetRts(t.app, false);
  SendByte(t.app, 0x43);
  EXPECT_EQ(line.rtsCalls, (std::vector<bool>{false, true}));
  EXPECT_EQ(line.hostBytes.size(), 1u);
  Pause(t.app, 10);
  EXPECT_EQ(line.pauses, std::vector<int>{10});
}

}  // namespace
}  // namespace romprog::testing

// The wait for a reply byte: taken as it comes, a second for each byte, and
// the message once when none comes.
#include <gtest/gtest.h>

#include "core/protocol/line_settings.h"
#include "gui/exchange.h"
#include "gui/port_selector.h"
#include "gui/texts.h"
#include "tests/gui/fake_line.h"
#include "tests/gui/test_app.h"

namespace romprog::testing {
namespace {

struct LineTest : ::testing::Test {
  FakeLine line;
  TestApp t{&line};
};

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

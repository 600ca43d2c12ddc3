// The chip commands against the programmer's device model, in process on a
// virtual clock: the framing the model checks (RTS, the pause before the
// command, nothing sent between exchanges) and what a real chip does to a
// write (it can only clear bits).
#include <gtest/gtest.h>

#include "gui/chip_commands.h"
#include "gui/win_constants.h"
#include "sim/device/loopback_port.h"
#include "tests/gui/test_app.h"

namespace romprog::testing {
namespace {

struct ModelTest : ::testing::Test {
  sim::LoopbackPorts ports{{"COM2"}};
  TestApp t{&ports};
  void SetUp() override { t.Start(); }
  void TearDown() override { t.app.state.programmerPort.reset(); }

  void Run(int command, int answer = win::kIdYes) {
    t.ui.boxes.clear();
    t.ui.boxAnswers = {answer};
    t.Click(command);
  }
  Text LastBox() { return t.ui.boxes.empty() ? Text() : t.ui.boxes.back().text; }
  void ExpectCleanFraming() {
    const sim::LoopbackCounters& c = ports.counters();
    EXPECT_EQ(c.earlyCommands, 0);
    EXPECT_GE(c.lastCommandDelayMs, 10);
    EXPECT_EQ(c.bytesWhileRtsLow, 0);
    EXPECT_EQ(c.closesWithRtsHigh, 0);
    EXPECT_EQ(c.rtsRaises, c.rtsLowers);
    EXPECT_FALSE(ports.rts());
  }
};

TEST_F(ModelTest, WriteReadBackAndCompareAllThreeTypes) {
  for (int type = 0; type < 3; ++type) {
    const int size = 8192 << type;
    ports.device().chip().fill(0xFF);
    for (int a = 0; a < kBufferSize; ++a) {
      t.buffer()[a] = static_cast<std::uint8_t>((a * 131 + type) >> 3);
    }
    const auto image = t.app.state.imageBuffer;
    t.SelectChip(type);
    Run(id::kWriteChip);
    ASSERT_EQ(LastBox(), "OK !!!") << type;
    EXPECT_TRUE(std::equal(image.begin(), image.begin() + size, ports.device().chip().begin()));
    EXPECT_EQ(ports.device().chip()[size % kBufferSize], size == kBufferSize ? image[0] : 0xFF);

    t.app.state.imageBuffer.fill(0x5A);
    Run(id::kReadChip);
    ASSERT_EQ(LastBox(), "OK !!!");
    EXPECT_TRUE(std::equal(image.begin(), image.begin() + size, t.buffer()));
    if (size < kBufferSize) {
      EXPECT_EQ(t.buffer()[size], 0x5A);
    }

    Run(id::kCompareChip);
    EXPECT_EQ(LastBox(), "OK !!!");
    const sim::ExchangeLog& last = ports.device().exchanges().back();
    EXPECT_EQ(last.command, (0x20 << type));
    EXPECT_EQ(last.dataBytes, size);
    EXPECT_EQ(last.acknowledges, size);
    EXPECT_EQ(last.ending, "complete");
  }
  ExpectCleanFraming();
}

TEST_F(ModelTest, AChipCannotBeWrittenBackToOnes) {
  ports.device().chip().fill(0xFF);
  ports.device().chip()[300] = 0x0F;  // programmed before: bits 4 to 7 cleared
  std::fill(t.buffer(), t.buffer() + 8192, 0xFF);
  t.buffer()[300] = 0x1F;
  Run(id::kWriteChip);
  EXPECT_EQ(LastBox(), Cp1251("Ячейка 300 Непрограммируется."));
  EXPECT_EQ(t.ui.GetText(id::kStatusAddress), "----");
  Run(id::kBlankCheck);
  EXPECT_EQ(LastBox(), Cp1251("Ячейка 300 содержит 15  (надо 255)."));
  ExpectCleanFraming();
}

TEST_F(ModelTest, SilenceHalfwayThenANewCommandOnAReopenedPort) {
  sim::DeviceOptions silent;
  silent.silentFrom = 4000;
  ports.device().setOptions(silent);
  Run(id::kReadChip);
  EXPECT_EQ(LastBox(), Cp1251("Нет ответа от программатора."));
  EXPECT_EQ(t.ui.GetText(id::kStatusAddress), "3999");
  ports.device().setOptions({});
  Run(id::kBlankCheck);
  EXPECT_EQ(LastBox(), "OK !!!");
  EXPECT_EQ(ports.counters().opens, 3);  // the probe at start-up, then one a command
  EXPECT_EQ(ports.openedSettings().back(), "COM2:9600,N,8,1");
  ExpectCleanFraming();
}

TEST_F(ModelTest, EveryCommandReplyIsTakenAlike) {
  for (int reply : {0x00, 0xAA, 0xFF}) {
    sim::DeviceOptions options;
    options.commandReply = static_cast<std::uint8_t>(reply);
    ports.device().setOptions(options);
    Run(id::kBlankCheck);
    EXPECT_EQ(LastBox(), "OK !!!") << reply;
  }
  ExpectCleanFraming();
}

}  // namespace
}  // namespace romprog::testing

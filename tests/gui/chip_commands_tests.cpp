// The chip-command buttons through the event loop, against the programmer's device
// model: the bytes on the line, the status line, the messages and what each
// ending leaves behind.
#include <gtest/gtest.h>

#include "gui/cell_display.h"
#include "gui/chip_commands.h"
#include "gui/completion_notice.h"
#include "gui/status_line.h"
#include "gui/win_constants.h"
#include "tests/gui/test_app.h"
#include "tests/gui/test_ports.h"

namespace romprog::testing {
namespace {

struct Seen {  // the screen and the line when a box came up
  Text address, value;
  int progress = -1;
  bool rts = false;
  int busy = 0;
  Text listingCell;
};

struct CommandTest : ::testing::Test {
  RecordingPorts ports{{"COM1"}};
  TestApp t{&ports};
  std::vector<Seen> seen;

  void SetUp() override {
    t.Start();
    t.ui.onBox = [this](const ShownBox&) {
      seen.push_back({StatusAddress(), StatusValue(), Progress(), ports.line.rts(), t.ui.busyDepth,
                      t.ui.GetCell(id::kListing, 0, 1)});
    };
  }
  void TearDown() override { t.app.state.programmerPort.reset(); }

  void Run(int command, int answer = win::kIdYes) {
    t.ui.boxes.clear();
    seen.clear();
    t.ui.boxAnswers = {answer};
    t.Click(command);
  }
  void Options(sim::DeviceOptions options) { ports.device().setOptions(options); }
  Text StatusAddress() { return t.ui.GetText(id::kStatusAddress); }
  Text StatusValue() { return t.ui.GetText(id::kStatusValue); }
  int Progress() { return t.ui.GetState(id::kProgress); }

  void ExpectAtRest() {
    EXPECT_EQ(StatusAddress(), "----");
    EXPECT_EQ(StatusValue(), "----");
    EXPECT_EQ(Progress(), 0);
    ExpectLineAtRest();
  }
  void ExpectLineAtRest() {
    const sim::LoopbackCounters& c = ports.line.counters();
    EXPECT_FALSE(ports.line.rts());
    EXPECT_EQ(c.rtsRaises, c.rtsLowers);
    EXPECT_EQ(c.earlyCommands, 0);
    EXPECT_EQ(c.bytesWhileRtsLow, 0);
    EXPECT_EQ(t.ui.busyDepth, 0);
  }
  void ExpectBoxes(const std::vector<std::string>& utf8Texts) {
    ASSERT_EQ(t.ui.boxes.size(), utf8Texts.size());
    for (std::size_t i = 0; i < utf8Texts.size(); ++i) {
      EXPECT_EQ(t.ui.boxes[i].text, Cp1251(utf8Texts[i])) << i;
    }
  }
  void ExpectOkNotice() {
    ASSERT_FALSE(t.ui.boxes.empty());
    const ShownBox& box = t.ui.boxes.back();
    EXPECT_EQ(box.caption, "OK !!!");
    EXPECT_EQ(box.text, "OK !!!");
    EXPECT_EQ(box.flags, 0x40u);
  }
  void ExpectErrorBox(const std::string& utf8Text) {
    ASSERT_FALSE(t.ui.boxes.empty());
    const ShownBox& box = t.ui.boxes.back();
    EXPECT_EQ(box.caption, Cp1251("Ошибка !"));
    EXPECT_EQ(box.text, Cp1251(utf8Text));
    EXPECT_EQ(box.flags, 0x10u);
  }
  void ExpectExchange(std::uint8_t command, int bytes, int acknowledges) {
    EXPECT_EQ(ports.last().command, command);
    EXPECT_EQ(ports.last().dataBytes, bytes);
    EXPECT_EQ(ports.last().acknowledges, acknowledges);
  }
};

// The status address as a number, -1 for "----".
int ShownAddress(const Text& shown) {
  return shown == "----" ? -1 : std::stoi(shown);
}

// --- complete commands --------------------------------------------------------

TEST_F(CommandTest, BlankCheckOfABlank27C64) {
  Run(id::kBlankCheck);
  ASSERT_EQ(t.ui.boxes.size(), 1u);
  ExpectOkNotice();
  // The last cell was on the screen when the notice came, RTS already low.
  EXPECT_EQ(seen[0].address, "8191");
  EXPECT_EQ(seen[0].value, "255");
  EXPECT_EQ(seen[0].progress, 101);
  EXPECT_FALSE(seen[0].rts);
  ExpectAtRest();
  ExpectExchange(0x20, 8192, 8192);
  EXPECT_EQ(ports.last().ending, "complete");
  EXPECT_EQ(ports.sent.size(), 1u + 8192u);
  EXPECT_EQ(ports.rtsCalls, (std::vector<bool>{false, true, false}));
  EXPECT_GE(ports.line.counters().lastCommandDelayMs, 10);
  EXPECT_EQ(t.ui.busyBegins, 1);
  EXPECT_GE(t.ui.keepAlives, 8192);
}

TEST_F(CommandTest, WriteProgramsTheActivePartAndNothingMore) {
  for (int a = 0; a < kBufferSize; ++a) t.buffer()[a] = static_cast<std::uint8_t>(a * 7 + 3);
  Run(id::kWriteChip);
  ASSERT_EQ(t.ui.boxes.size(), 2u);
  EXPECT_EQ(t.ui.boxes[0].text, Cp1251("Начать запись ?"));
  EXPECT_EQ(t.ui.boxes[0].caption, "");
  EXPECT_EQ(t.ui.boxes[0].flags, 0x24u);
  EXPECT_FALSE(seen[0].rts);  // asked before the exchange
  ExpectOkNotice();
  EXPECT_EQ(seen[1].address, "8191");
  EXPECT_EQ(seen[1].value, std::to_string(t.buffer()[8191]));
  EXPECT_EQ(seen[1].progress, 101);
  ExpectAtRest();
  ExpectExchange(0x21, 8192, 8192);
  EXPECT_TRUE(std::equal(t.buffer(), t.buffer() + 8192, ports.sent.begin() + 1));
  EXPECT_TRUE(std::equal(t.buffer(), t.buffer() + 8192, ports.chip().begin()));
  EXPECT_EQ(ports.chip()[8192], 0xFF);
}

TEST_F(CommandTest, ReadReplacesTheActivePartAndRefreshesTheListingBeforeTheNotice) {
  for (int a = 0; a < kBufferSize; ++a) ports.chip()[a] = static_cast<std::uint8_t>(a ^ (a >> 8));
  t.SelectChip(2);
  Run(id::kReadChip);
  ASSERT_EQ(t.ui.boxes.size(), 1u);
  ExpectOkNotice();
  EXPECT_TRUE(std::equal(ports.chip().begin(), ports.chip().end(), t.buffer()));
  ExpectExchange(0x80, 32768, 32768);
  EXPECT_EQ(seen[0].address, "32767");
  EXPECT_EQ(seen[0].progress, 100);
  EXPECT_EQ(seen[0].listingCell, "   00");
  EXPECT_EQ(t.ui.rows(id::kListing).size(), 4096u);
  EXPECT_EQ(t.ui.GetCell(id::kListing, 4095, 8), "   80");  // 0x7FFF ^ 0x7F
  ExpectAtRest();
}

TEST_F(CommandTest, ReadOfA27C64LeavesTheRestOfTheBufferAlone) {
  t.buffer()[8191] = 0x11;
  t.buffer()[8192] = 0x22;
  t.buffer()[32767] = 0x33;
  Run(id::kReadChip);
  EXPECT_EQ(t.buffer()[8191], 0xFF);
  EXPECT_EQ(t.buffer()[8192], 0x22);
  EXPECT_EQ(t.buffer()[32767], 0x33);
  EXPECT_EQ(t.ui.rows(id::kListing).size(), 1024u);
}

TEST_F(CommandTest, CompareOfAnEqualChipCompletes) {
  for (int a = 0; a < 16384; ++a) ports.chip()[a] = t.buffer()[a] = static_cast<std::uint8_t>(a);
  ports.chip()[16384] = 0;  // beyond the active size: not looked at
  t.SelectChip(1);
  Run(id::kCompareChip);
  ASSERT_EQ(t.ui.boxes.size(), 1u);
  ExpectOkNotice();
  EXPECT_EQ(seen[0].value, "255");
  ExpectExchange(0x40, 16384, 16384);
  ExpectAtRest();
}

TEST_F(CommandTest, WriteReadBackAndCompareEachTypeOnAReopenedPort) {
  struct Case {
    int command, chip;
    std::uint8_t byte;
    int size;
  };
  const Case cases[] = {{id::kWriteChip, 1, 0x41, 16384},   {id::kReadChip, 1, 0x40, 16384},
                        {id::kCompareChip, 1, 0x40, 16384}, {id::kWriteChip, 2, 0x81, 32768},
                        {id::kReadChip, 0, 0x20, 8192},     {id::kCompareChip, 2, 0x80, 32768},
                        {id::kBlankCheck, 0, 0x20, 8192}};
  for (int a = 0; a < kBufferSize; ++a) t.buffer()[a] = static_cast<std::uint8_t>(a >> 7 | 0x80);
  std::fill(t.buffer(), t.buffer() + 8192, 0xFF);  // still blank there after the writes
  const auto image = t.app.state.imageBuffer;
  for (const Case& c : cases) {
    if (c.command == id::kReadChip) t.app.state.imageBuffer.fill(0x5A);
    t.SelectChip(c.chip);
    Run(c.command);
    ExpectOkNotice();
    ExpectExchange(c.byte, c.size, c.size);
    EXPECT_EQ(t.app.state.activeSize, c.size);
    if (c.command == id::kReadChip) {
      EXPECT_TRUE(std::equal(t.buffer(), t.buffer() + c.size, image.begin()));
      EXPECT_EQ(t.buffer()[c.size], 0x5A);
      t.app.state.imageBuffer = image;
    }
  }
  EXPECT_TRUE(std::equal(image.begin(), image.end(), ports.chip().begin()));
  // Every command closed the port and opened it again.
  EXPECT_EQ(ports.line.counters().opens, 1 + 7);
  EXPECT_EQ(ports.line.counters().closesWithRtsHigh, 0);
  ExpectLineAtRest();
}

TEST_F(CommandTest, AnyCommandReplyIsTaken) {
  for (int reply : {0x00, 0xAA, 0xFF}) {
    sim::DeviceOptions options;
    options.commandReply = static_cast<std::uint8_t>(reply);
    Options(options);
    Run(id::kBlankCheck);
    ASSERT_EQ(t.ui.boxes.size(), 1u) << reply;
    ExpectOkNotice();
  }
}

TEST_F(CommandTest, AcknowledgeGoesOutBeforeTheCellIsShownAndTheScreenKeepsUp) {
  ports.line.SetReplyDelay(1);  // the clock moves 1 ms a cell
  std::vector<int> shownAtAck;
  ports.onSend = [&](std::uint8_t byte) {
    if (byte == 0xAA) shownAtAck.push_back(ShownAddress(StatusAddress()));
  };
  Run(id::kReadChip);
  ASSERT_EQ(shownAtAck.size(), 8192u);
  EXPECT_EQ(shownAtAck[0], -1);
  EXPECT_EQ(shownAtAck[1], 0);
  int updates = 0;
  for (int a = 1; a < 8192; ++a) {
    // Never the cell being acknowledged, and never far behind it.
    EXPECT_LT(shownAtAck[a], a);
    EXPECT_GE(shownAtAck[a], a - 1 - static_cast<int>(kCellDisplayIntervalMs) - 1);
    if (shownAtAck[a] != shownAtAck[a - 1]) ++updates;
  }
  // At the pace of a repaint, not once a byte.
  EXPECT_LT(updates, 8192 / 10);
  EXPECT_GT(updates, 8192 / 20);
}

TEST_F(CommandTest, WriteSendsTheNextCellBeforeShowingThePreviousOne) {
  ports.line.SetReplyDelay(1);
  std::vector<int> shownAtSend;
  ports.onSend = [&](std::uint8_t) { shownAtSend.push_back(ShownAddress(StatusAddress())); };
  Run(id::kWriteChip);
  ASSERT_EQ(shownAtSend.size(), 1u + 8192u);
  EXPECT_EQ(shownAtSend[1], -1);  // cell 0 goes out with the command reply
  EXPECT_EQ(shownAtSend[2], -1);  // cell 1 as soon as cell 0 is acknowledged
  EXPECT_EQ(shownAtSend[3], 0);
  for (int cell = 2; cell < 8192; ++cell) {
    EXPECT_LT(shownAtSend[cell + 1], cell - 1);  // cell - 1 was acknowledged, not yet shown
    EXPECT_GE(shownAtSend[cell + 1], cell - 2 - static_cast<int>(kCellDisplayIntervalMs) - 1);
  }
}

// --- bad cells ------------------------------------------------------------------

TEST_F(CommandTest, BlankCheckStopsAtTheFirstCellThatIsNotErased) {
  ports.chip()[10] = 0xFE;
  ports.chip()[11] = 0x00;
  Run(id::kBlankCheck);
  ASSERT_EQ(t.ui.boxes.size(), 1u);
  ExpectErrorBox("Ячейка 10 содержит 254  (надо 255).");
  EXPECT_EQ(seen[0].address, "10");
  EXPECT_EQ(seen[0].value, "254");
  EXPECT_TRUE(seen[0].rts);
  EXPECT_EQ(seen[0].busy, 1);
  ExpectExchange(0x20, 11, 10);  // no acknowledge for cell 10
  EXPECT_EQ(ports.sent.size(), 1u + 10u);
  ExpectAtRest();
  EXPECT_EQ(ports.rtsCalls, (std::vector<bool>{false, true, false}));
}

TEST_F(CommandTest, TheBarShowsTheCellBeforeTheBadOneUnderTheMessage) {
  ports.chip()[5000] = 0x7F;
  Run(id::kBlankCheck);
  ExpectErrorBox("Ячейка 5000 содержит 127  (надо 255).");
  EXPECT_EQ(seen[0].progress, ProgressValue(4999, 8192));
  ExpectAtRest();
}

TEST_F(CommandTest, CompareStopsAtTheFirstDifference) {
  for (int a = 0; a < 8192; ++a) ports.chip()[a] = t.buffer()[a] = static_cast<std::uint8_t>(a);
  t.buffer()[4095] = 0x41;
  ports.chip()[4095] = 0x00;
  ports.chip()[5000] = 0x99;
  const auto before = t.app.state.imageBuffer;
  Run(id::kCompareChip);
  ASSERT_EQ(t.ui.boxes.size(), 1u);
  ExpectErrorBox("Ячейка 4095 содержит 0  (надо 65).");
  EXPECT_EQ(seen[0].address, "4095");
  EXPECT_EQ(seen[0].value, "Bad");
  EXPECT_TRUE(seen[0].rts);
  ExpectExchange(0x20, 4096, 4095);
  EXPECT_EQ(t.app.state.imageBuffer, before);
  ExpectAtRest();
}

TEST_F(CommandTest, WriteFailingAtTheFirstCell) {
  sim::DeviceOptions failing;
  failing.writeFailAt = 0;
  Options(failing);
  t.buffer()[0] = 0x12;
  Run(id::kWriteChip);
  ASSERT_EQ(t.ui.boxes.size(), 2u);
  ExpectErrorBox("Ячейка 0 Непрограммируется.");
  EXPECT_EQ(seen[1].address, "0");
  EXPECT_EQ(seen[1].value, Cp1251("Плох"));
  EXPECT_TRUE(seen[1].rts);
  EXPECT_EQ(ports.sent, (std::vector<std::uint8_t>{0x21, 0x12}));
  ExpectAtRest();
}

TEST_F(CommandTest, WriteFailingAtCell100KeepsWhatWasProgrammedAndSendsNoMore) {
  sim::DeviceOptions failing;
  failing.writeFailAt = 100;
  Options(failing);
  for (int a = 0; a < 8192; ++a) t.buffer()[a] = static_cast<std::uint8_t>(a + 1);
  Run(id::kWriteChip);
  ExpectErrorBox("Ячейка 100 Непрограммируется.");
  EXPECT_EQ(ports.sent.size(), 1u + 101u);
  EXPECT_TRUE(std::equal(t.buffer(), t.buffer() + 100, ports.chip().begin()));
  EXPECT_EQ(ports.chip()[100], 0xFF);
  ExpectAtRest();
}

TEST_F(CommandTest, AChipCannotBeWrittenBackToOnes) {
  ports.chip()[300] = 0x0F;  // programmed before: bits 4 to 7 cleared
  std::fill(t.buffer(), t.buffer() + 8192, 0xFF);
  t.buffer()[300] = 0x1F;
  Run(id::kWriteChip);
  ExpectErrorBox("Ячейка 300 Непрограммируется.");
  Run(id::kBlankCheck);
  ExpectErrorBox("Ячейка 300 содержит 15  (надо 255).");
  ExpectAtRest();
}

// --- no reply ---------------------------------------------------------------------

TEST_F(CommandTest, NoReplyToTheCommandLeavesEverythingAsItWas) {
  sim::DeviceOptions silent;
  silent.silentCommand = 1;
  Options(silent);
  t.ui.SetText(id::kStatusAddress, "77");
  t.ui.SetText(id::kStatusValue, "5");
  t.ui.SetState(id::kProgress, 40);
  t.ui.SetCell(id::kListing, 0, 1, "XX");
  const auto before = t.app.state.imageBuffer;
  Run(id::kReadChip);
  ExpectBoxes({"Нет ответа от программатора."});
  EXPECT_EQ(t.ui.boxes[0].caption, "");
  EXPECT_EQ(t.ui.boxes[0].flags, 0x30u);
  EXPECT_TRUE(seen[0].rts);  // the message comes before RTS is lowered
  EXPECT_EQ(StatusAddress(), "77");
  EXPECT_EQ(StatusValue(), "5");
  EXPECT_EQ(Progress(), 40);
  EXPECT_EQ(t.app.state.imageBuffer, before);
  EXPECT_EQ(t.ui.GetCell(id::kListing, 0, 1), "XX");
  EXPECT_EQ(ports.sent, std::vector<std::uint8_t>{0x20});
  EXPECT_TRUE(t.app.state.programmerPort);  // stays open
  ExpectLineAtRest();
}

TEST_F(CommandTest, ReadThatFallsSilentKeepsWhatCameAndTheListingShowsIt) {
  for (int a = 0; a < kBufferSize; ++a) ports.chip()[a] = static_cast<std::uint8_t>(a % 251);
  t.buffer()[100] = 0x5C;
  sim::DeviceOptions silent;
  silent.silentFrom = 100;
  Options(silent);
  t.SelectChip(1);
  Run(id::kReadChip);
  ExpectBoxes({"Нет ответа от программатора."});
  EXPECT_EQ(seen[0].address, "99");  // on screen while the message is up
  EXPECT_EQ(seen[0].value, "99");
  EXPECT_TRUE(std::equal(t.buffer(), t.buffer() + 100, ports.chip().begin()));
  EXPECT_EQ(t.buffer()[100], 0x5C);
  EXPECT_EQ(StatusAddress(), "99");
  EXPECT_EQ(StatusValue(), "99");
  EXPECT_EQ(Progress(), ProgressValue(99, 16384));
  EXPECT_EQ(ports.sent.size(), 1u + 100u);
  // Rebuilt after the read was abandoned: 27C128 rows, new bytes.
  EXPECT_EQ(t.ui.rows(id::kListing).size(), 2048u);
  EXPECT_EQ(t.ui.GetCell(id::kListing, 12, 4), "   63");  // address 99
  EXPECT_EQ(t.ui.GetCell(id::kListing, 12, 5), "   5C");  // address 100, as before
  ExpectLineAtRest();
}

TEST_F(CommandTest, BlankCheckThatFallsSilentKeepsTheLastCellShown) {
  sim::DeviceOptions silent;
  silent.silentFrom = 5000;
  Options(silent);
  Run(id::kBlankCheck);
  ExpectBoxes({"Нет ответа от программатора."});
  EXPECT_EQ(StatusAddress(), "4999");
  EXPECT_EQ(StatusValue(), "255");
  EXPECT_EQ(Progress(), 4999 / 81);
  ExpectLineAtRest();
}

TEST_F(CommandTest, WriteThatFallsSilent) {
  sim::DeviceOptions silent;
  silent.silentFrom = 3;
  Options(silent);
  Run(id::kWriteChip);
  ExpectBoxes({"Начать запись ?", "Нет ответа от программатора."});
  EXPECT_EQ(StatusAddress(), "2");
  EXPECT_EQ(ports.sent.size(), 1u + 4u);
  ExpectLineAtRest();
}

TEST_F(CommandTest, NextCommandAfterSilenceStartsAfreshOnAReopenedPort) {
  sim::DeviceOptions silent;
  silent.silentFrom = 50;
  Options(silent);
  Run(id::kReadChip);
  Options({});
  Run(id::kReadChip);
  ASSERT_EQ(t.ui.boxes.size(), 1u);
  ExpectOkNotice();
  ExpectExchange(0x20, 8192, 8192);
  EXPECT_EQ(ports.line.counters().opens, 3);  // the probe, then one a command
}

TEST_F(CommandTest, ASlowProgrammerWithinTheSecondIsNoFault) {
  ports.line.SetReplyDelay(990);
  Run(id::kBlankCheck);
  ASSERT_EQ(t.ui.boxes.size(), 1u);
  ExpectOkNotice();
}

// --- ending before the exchange ------------------------------------------------------

TEST_F(CommandTest, DeclinedWriteSendsNothing) {
  t.ui.SetText(id::kStatusAddress, "12");
  Run(id::kWriteChip, win::kIdNo);
  ExpectBoxes({"Начать запись ?"});
  EXPECT_TRUE(ports.sent.empty());
  EXPECT_EQ(ports.rtsCalls, std::vector<bool>{false});
  EXPECT_TRUE(t.app.state.programmerPort);
  EXPECT_EQ(StatusAddress(), "12");
  EXPECT_EQ(t.ui.busyBegins, 0);
}

TEST_F(CommandTest, WithoutAPortEveryCommandShowsOnlyThePortMessage) {
  RecordingPorts none{{}};
  TestApp bare{&none};
  bare.Start();
  bare.SelectChip(2);
  for (int command : {id::kBlankCheck, id::kWriteChip, id::kReadChip, id::kCompareChip}) {
    bare.ui.boxes.clear();
    bare.Click(command);
    ASSERT_EQ(bare.ui.boxes.size(), 1u) << command;
    EXPECT_EQ(bare.ui.boxes[0].text, Cp1251("Порт  Не доступен!"));
  }
  EXPECT_TRUE(none.sent.empty());
  EXPECT_EQ(bare.app.state.activeSize, 8192);  // the chip type was never taken
  EXPECT_EQ(bare.ui.busyBegins, 0);
  EXPECT_EQ(bare.ui.GetText(id::kStatusAddress), "----");
}

TEST_F(CommandTest, CompletionNoticeResetsTheStatusLine) {
  t.ui.SetText(id::kStatusAddress, "8191");
  t.ui.SetText(id::kStatusValue, "7");
  t.ui.SetState(id::kProgress, 101);
  CompletionNotice(t.app);
  ASSERT_EQ(t.ui.boxes.size(), 1u);
  ExpectOkNotice();
  EXPECT_EQ(seen[0].address, "8191");  // reset only after the box is closed
  ExpectAtRest();
}

}  // namespace
}  // namespace romprog::testing

#include <gtest/gtest.h>

#include "gui/main_window.h"
#include "gui/win_constants.h"
#include "tests/gui/test_app.h"

namespace romprog::testing {
namespace {

struct Expected {
  int id;
  const char* cls;
  std::uint32_t style;
  int x, y, w, h;
  std::string utf8Text;
  std::string utf8Tip;
};

constexpr std::uint32_t kCh = 0x50000000;  // WS_CHILD | WS_VISIBLE

TEST(MainWindow, EveryControlInCreationOrder) {
  TestApp t;
  t.Start();
  const FakeWindow& w = t.ui.windows[kMainWindow];
  EXPECT_EQ(w.title, Cp1251("Программатор ПЗУ"));
  EXPECT_EQ(w.style, 0x00CA0000u);
  EXPECT_EQ(w.x, 200);
  EXPECT_EQ(w.y, 200);
  EXPECT_EQ(w.width, 335);
  EXPECT_EQ(w.height, 169);
  EXPECT_FALSE(w.hidden);

  const std::uint32_t frame = kCh | 0x7 | 0x20000, button = kCh | 0x10000,
                      toggle = kCh | 0x10000 | 0x1003,
                      combo = kCh | 0x3 | 0x00200000 | 0x00800000 | 0x20000 | 0x10000;
  const std::string rule(106, '-');
  const Expected want[] = {
      {0, "Button", frame, 5, 5, 108, 72, "Файл", ""},
      {1, "BUTTON", button, 7, 18, 52, 52, "", "Открыть файл"},
      {2, "BUTTON", button, 59, 18, 52, 53, "", "Сохранить буфер в файл"},
      {3, "Button", frame, 118, 5, 212, 72, "ПЗУ", ""},
      {4, "BUTTON", button, 120, 18, 52, 52, "", "Проверить чистоту"},
      {5, "BUTTON", button, 172, 18, 52, 52, "", "Записать буфер в ПЗУ"},
      {6, "BUTTON", button, 224, 18, 52, 52, "", "Читать в буфер"},
      {7, "BUTTON", button, 276, 18, 52, 52, "", "Сравнить с буфером"},
      {8, "ComboBox", combo, 124, 85, 95, 25, "", "Порт"},
      {9, "ComboBox", combo, 230, 85, 95, 25, "", "Тип ПЗУ"},
      {10, "Static", kCh | 0x20000 | 1, 150, 125, 45, 20, "Адрес ;", ""},
      {11, "Static", kCh | 0x20000 | 1, 202, 125, 45, 20, "----", ""},
      {12, "Static", kCh | 0x20000 | 1, 256, 125, 40, 20, "----", ""},
      {13, "msctls_progress32", kCh | 1, 5, 153, 325, 10, "", ""},
      {14, "Button", frame, 5, 76, 108, 70, "", ""},
      {15, "BUTTON", toggle, 59, 88, 52, 52, "", "Помощь"},
      {16, "BUTTON", toggle, 7, 88, 52, 52, "", "Буфер (показать/скрыть)"},
      {18, "Button", frame, 5, 170, 325, 122, "Микро Хелп", ""},
      {19, "Static", kCh | 0x20000, 15, 190, 300, 20,
       "Программатор EEPROM микросхем серии 27\u0421---", ""},
      {20, "Static", kCh | 0x20000, 15, 210, 300, 20,
       "27\u042164 - 8\u041a\u0431 \u0425 8 / 27\u0421128 - 16\u041a\u0431 \u0425 8 / "
       "27\u0421256 - 32\u041a\u0431 \u0425 8",
       ""},
      {21, "Static", kCh | 0x20000, 15, 230, 300, 20, "Назначение кнопочек должно быть понятно.",
       ""},
      {22, "Static", kCh | 0x20000, 15, 250, 300, 20, rule, ""},
  };
  std::vector<int> mainOrder;
  for (int id : t.ui.creationOrder) {
    if (t.ui.control(id).window == kMainWindow) mainOrder.push_back(id);
  }
  ASSERT_EQ(mainOrder.size(), std::size(want));
  for (std::size_t i = 0; i < std::size(want); ++i) {
    const Expected& e = want[i];
    SCOPED_TRACE(e.id);
    EXPECT_EQ(mainOrder[i], e.id);
    const FakeControl& c = t.ui.control(e.id);
    EXPECT_STREQ(c.desc.className, e.cls);
    EXPECT_EQ(c.desc.style, e.style);
    EXPECT_EQ(c.desc.exStyle, 0u);
    EXPECT_EQ(c.desc.x, e.x);
    EXPECT_EQ(c.desc.y, e.y);
    EXPECT_EQ(c.desc.width, e.w);
    EXPECT_EQ(c.desc.height, e.h);
    EXPECT_EQ(c.text, Cp1251(e.utf8Text));
    EXPECT_EQ(c.tooltip, Cp1251(e.utf8Tip));
    EXPECT_EQ(c.enabled, e.id != 22);
  }
  EXPECT_EQ(t.ui.control(8).desc.dropHeight, 350);
  EXPECT_EQ(t.ui.CountItems(8), 0);  // no ports on this machine
  EXPECT_EQ(t.ui.GetText(8), "");
  EXPECT_EQ(t.ui.control(9).items,
            (std::vector<Text>{"       27C64", "       27C128", "       27C256"}));
  EXPECT_EQ(t.ui.GetState(9), 0);
}

TEST(BufferWindow, HiddenAtScreenRightWithListingAndEditor) {
  TestApp t;
  t.Start();
  const FakeWindow& w = t.ui.windows[kBufferWindow];
  EXPECT_EQ(w.x, 1024 - 515);
  EXPECT_EQ(w.y, 0);
  EXPECT_EQ(w.width, 502);
  EXPECT_EQ(w.height, 570);
  EXPECT_EQ(w.style, 0x00C00000u);
  EXPECT_TRUE(w.hidden);

  std::vector<int> order;
  for (int id : t.ui.creationOrder) {
    if (t.ui.control(id).window == kBufferWindow) order.push_back(id);
  }
  EXPECT_EQ(order, (std::vector<int>{100, 101, 102, 103, 104, 105, 106, 107, 108, 109, 110}));
  const FakeControl& list = t.ui.control(id::kListing);
  EXPECT_EQ(list.desc.style, 0x50010045u);
  EXPECT_EQ(list.desc.exStyle, 0x200u);
  EXPECT_EQ(list.desc.width, 502);
  EXPECT_EQ(list.desc.height, 545);
  EXPECT_EQ(list.colours.at(kColourGrid), 0x808080u);
  ASSERT_EQ(list.columns.size(), 10u);
  EXPECT_EQ(list.columns[0], std::make_pair(Cp1251("    Адрес"), 80));
  EXPECT_EQ(list.columns[1], std::make_pair(Text("  00"), 40));
  EXPECT_EQ(list.columns[8], std::make_pair(Text("  07"), 40));
  EXPECT_EQ(list.columns[9], std::make_pair(Text("Ascii"), 80));

  const FakeControl& address = t.ui.control(id::kRowAddress);
  EXPECT_EQ(address.desc.style, 0x50030880u);
  EXPECT_EQ(address.desc.exStyle, 0x200u);
  EXPECT_EQ(address.colours.at(kColourText), 0xFFu);
  for (int k = 0; k < 8; ++k) {
    const FakeControl& f = t.ui.control(id::kRowByte0 + k);
    EXPECT_EQ(f.desc.style, 0x50030088u);
    EXPECT_EQ(f.desc.x, 90 + 40 * k);
    EXPECT_EQ(f.desc.width, 30);
    EXPECT_EQ(f.desc.height, 15);
  }
  const FakeControl& apply = t.ui.control(id::kApplyRow);
  EXPECT_EQ(apply.text, Cp1251("Ввод"));
  EXPECT_EQ(apply.desc.x, 410);
  EXPECT_EQ(apply.desc.y, 548);
  EXPECT_FALSE(apply.enabled);
}

}  // namespace
}  // namespace romprog::testing

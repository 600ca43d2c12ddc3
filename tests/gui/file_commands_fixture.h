// The file commands' fixture: the program started, the buffer window's listing
// filled from a known image, a fresh folder, and the Open and Save buttons
// answered from a script.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "gui/completion_notice.h"
#include "gui/hex_listing.h"
#include "gui/texts.h"
#include "tests/gui/test_app.h"
#include "tests/support/files_test_support.h"

namespace romprog::testing {

constexpr unsigned kWarning = 0x30;
constexpr unsigned kInformation = 0x40;

// The program started, the buffer window's listing filled from a known image.
struct FileCommands : ::testing::Test {
  TestApp t;
  TempDir dir;

  void SetUp() override {
    t.Start();
    for (int i = 0; i < kBufferSize; ++i) t.buffer()[i] = static_cast<std::uint8_t>(i % 251);
    RefreshListing(t.app);
    t.ui.boxes.clear();
  }
  std::string BufferBytes(int from, int count) {
    return std::string(reinterpret_cast<const char*>(t.buffer()) + from, count);
  }
  void Open(const std::string& path) {
    t.ui.dialogAnswers.push_back({path, 0});
    t.Click(id::kOpenFile);
  }
  void Save(const std::string& path, int entry) {
    t.ui.dialogAnswers.push_back({path, entry});
    t.Click(id::kSaveFile);
  }
  void ExpectOnlyBox(const Text& caption, const Text& text, unsigned flags) {
    ASSERT_EQ(t.ui.boxes.size(), 1u);
    EXPECT_EQ(t.ui.boxes[0].caption, caption);
    EXPECT_EQ(t.ui.boxes[0].text, text);
    EXPECT_EQ(t.ui.boxes[0].flags, flags);
  }
  // "OK !!!", then the status line back to its rest.
  void ExpectCompletionNotice() {
    ExpectOnlyBox(text::kOk, text::kOk, kInformation);
    EXPECT_EQ(t.ui.control(id::kStatusAddress).text, text::kNoValue);
    EXPECT_EQ(t.ui.control(id::kStatusValue).text, text::kNoValue);
    EXPECT_EQ(t.ui.control(id::kProgress).state, 0);
  }
  void DirtyStatusLine() {
    t.ui.SetText(id::kStatusAddress, "1234");
    t.ui.SetText(id::kStatusValue, "56");
    t.ui.SetState(id::kProgress, 77);
  }
  // Every row of the listing shows what the buffer holds.
  void ExpectListingMatchesBuffer(int rows) {
    const auto& cells = t.ui.rows(id::kListing);
    ASSERT_EQ(static_cast<int>(cells.size()), rows);
    for (int row = 0; row < rows; ++row) {
      for (int k = 0; k < 8; ++k) {
        ASSERT_EQ(cells[row][k + 1], ByteCell(t.buffer()[row * 8 + k])) << row;
      }
    }
  }
};

}  // namespace romprog::testing

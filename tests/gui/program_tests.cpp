#include <gtest/gtest.h>

#include "gui/main_window.h"
#include "gui/texts.h"
#include "gui/win_constants.h"
#include "tests/gui/test_app.h"

namespace romprog::testing {
namespace {

TEST(EventLoop, HelpToggleGrowsAndShrinksInPlace) {
  TestApp t;
  t.Start();
  t.Click(id::kHelpToggle);
  EXPECT_EQ(t.ui.windows[kMainWindow].height, 297);
  EXPECT_EQ(t.ui.windows[kMainWindow].width, 335);
  t.Click(id::kHelpToggle);
  EXPECT_EQ(t.ui.windows[kMainWindow].height, 169);
  EXPECT_EQ(t.ui.windows[kMainWindow].x, 200);
  EXPECT_EQ(t.ui.windows[kMainWindow].y, 200);
  EXPECT_EQ(t.ui.windows[kMainWindow].activations, 0);
}

TEST(EventLoop, BufferToggleShowsThenActivatesControlWindow) {
  TestApp t;
  t.Start();
  t.Click(id::kBufferToggle);
  EXPECT_FALSE(t.ui.windows[kBufferWindow].hidden);
  EXPECT_EQ(t.ui.windows[kMainWindow].activations, 1);
  t.Click(id::kBufferToggle);
  EXPECT_TRUE(t.ui.windows[kBufferWindow].hidden);
}

TEST(EventLoop, OnlyCloseOfControlWindowEnds) {
  TestApp t;
  t.Start();
  EXPECT_TRUE(HandleEvent(t.app, {EventKind::Close, 0, kBufferWindow, 0}));
  EXPECT_TRUE(HandleEvent(t.app, {EventKind::Other, 0, -1, 0}));
  EXPECT_TRUE(HandleEvent(t.app, {EventKind::Control, id::kChipSelector, -1, 0}));
  EXPECT_FALSE(HandleEvent(t.app, {EventKind::Close, 0, kMainWindow, 0}));
}

TEST(EventLoop, RunProgramEndsCleanlyWithExitCodeZero) {
  FakeToolkit ui;
  NoSerialPorts ports;
  ui.events.push_back({EventKind::Control, id::kHelpToggle, -1, 0});
  ui.events.push_back({EventKind::Close, 0, kBufferWindow, 0});
  EXPECT_EQ(RunProgram(ui, ports, ports), 0);
  EXPECT_FALSE(ui.windows[kMainWindow].open);
  EXPECT_TRUE(ui.ended);
}

TEST(StartUp, WithoutBufferWindowTheProgramRunsOn) {
  TestApp t;
  t.ui.failOpenWindow[kBufferWindow] = true;
  t.Start();
  EXPECT_FALSE(t.app.state.bufferWindowOpen);
  EXPECT_EQ(t.ui.controls.count(id::kListing), 0u);
  t.Click(id::kBufferToggle);  // nothing to show
  EXPECT_FALSE(t.ui.windows[kBufferWindow].open);
}

}  // namespace
}  // namespace romprog::testing

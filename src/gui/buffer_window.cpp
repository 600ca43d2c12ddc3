#include "gui/buffer_window.h"

#include "gui/control_ids.h"
#include "gui/hex_listing.h"
#include "gui/texts.h"
#include "gui/win_constants.h"

namespace romprog {
namespace {

using namespace win;

constexpr std::uint32_t kRed = 0x000000FF;

void Field(App& app, int id, int x, int width, std::uint32_t extra) {
  ControlDesc field{id,
                    ControlKind::Edit,
                    "Edit",
                    kWsChild | kWsVisible | kEsAutoHScroll | kWsTabStop | kWsGroup | extra,
                    kWsExClientEdge,
                    x,
                    550,
                    width,
                    15};
  app.ui.CreateControl(field);
  app.ui.SetControlColour(id, kColourText, kRed);
}

}  // namespace

void OpenBufferWindow(App& app) {
  Toolkit& ui = app.ui;
  app.state.bufferWindowOpen =
      ui.OpenWindow(kBufferWindow, ui.ScreenWidth() - kBufferWindowRightMargin, 0,
                    kBufferClientWidth, kBufferClientHeight, text::kBufferTitle, kWsCaption, true);
  if (!app.state.bufferWindowOpen) return;

  CreateListing(app);
  Field(app, id::kRowAddress, 5, 70, kEsReadOnly);
  for (int k = 0; k < kBytesPerRow; ++k)
    Field(app, id::kRowByte0 + k, 90 + 40 * k, 30, kEsUpperCase);
  ui.CreateControl({id::kApplyRow, ControlKind::PushButton, "Button",
                    kWsChild | kWsVisible | kBsPushButton | kWsTabStop | kWsGroup, 0, 410, 548, 90,
                    19, text::kApplyRow});
  ui.EnableControl(id::kApplyRow, false);
  AddListingColumns(app);
}

}  // namespace romprog

#include "gui/main_window.h"

#include "gui/button_pictures.h"
#include "gui/chip_selector.h"
#include "gui/control_ids.h"
#include "gui/port_selector.h"
#include "gui/texts.h"
#include "gui/win_constants.h"

namespace romprog {
namespace {

using namespace win;

constexpr std::uint32_t kChild = kWsChild | kWsVisible;

ControlDesc Frame(int id, int x, int y, int w, int h, const Text& caption) {
  const std::uint32_t style = kChild | kBsGroupBox | kWsGroup;
  return {id, ControlKind::Frame, "Button", style, 0, x, y, w, h, caption};
}

ControlDesc Label(int id, int x, int y, int w, int h, std::uint32_t align, const Text& text) {
  return {id, ControlKind::Label, "Static", kChild | kWsGroup | align, 0, x, y, w, h, text};
}

ControlDesc Selector(int id, int x) {
  const std::uint32_t style =
      kChild | kCbsDropDownList | kWsVScroll | kWsBorder | kWsGroup | kWsTabStop;
  ControlDesc combo{id, ControlKind::Combo, "ComboBox", style, 0, x, 85, 95, 25};
  combo.dropHeight = 350;
  return combo;
}

// A push button, or a toggle, showing picture `picture` and a tooltip.
void ImageButton(App& app, int id, int picture, int x, int y, int h, const Text& tip,
                 bool toggle = false) {
  const ControlKind kind = toggle ? ControlKind::Toggle : ControlKind::PushButton;
  const std::uint32_t style = toggle ? (kBsPushLike | kBsAutoCheckBox) : kBsPushButton;
  ControlDesc button{id, kind, "BUTTON", kChild | kWsTabStop | style, 0, x, y, 52, h, ""};
  button.picture = ButtonPicture(app.ui, picture);
  app.ui.CreateControl(button);
  app.ui.SetTooltip(id, tip);
}

}  // namespace

void BuildMainWindow(App& app) {
  Toolkit& ui = app.ui;
  if (!ui.OpenWindow(kMainWindow, 200, 200, kMainClientWidth, kMainClientHeight, text::kMainTitle,
                     kMainWindowStyle, false)) {
    return;
  }
  ui.CreateControl(Frame(id::kFileFrame, 5, 5, 108, 72, text::kFileFrame));
  ImageButton(app, id::kOpenFile, 0, 7, 18, 52, text::kTipOpenFile);
  ImageButton(app, id::kSaveFile, 1, 59, 18, 53, text::kTipSaveFile);

  ui.CreateControl(Frame(id::kChipFrame, 118, 5, 212, 72, text::kChipFrame));
  ImageButton(app, id::kBlankCheck, 2, 120, 18, 52, text::kTipBlankCheck);
  ImageButton(app, id::kWriteChip, 3, 172, 18, 52, text::kTipWriteChip);
  ImageButton(app, id::kReadChip, 4, 224, 18, 52, text::kTipReadChip);
  ImageButton(app, id::kCompareChip, 5, 276, 18, 52, text::kTipCompareChip);

  ui.CreateControl(Selector(id::kPortSelector, 124));
  ui.SetTooltip(id::kPortSelector, text::kTipPort);
  ProbePorts(app);

  ui.CreateControl(Selector(id::kChipSelector, 230));
  ui.SetTooltip(id::kChipSelector, text::kTipChipType);
  for (const ChipType& type : kChipTypes) ui.AddItem(id::kChipSelector, -1, ChipSelectorItem(type));
  ui.SetState(id::kChipSelector, 0);

  ui.CreateControl(Label(id::kAddressLabel, 150, 125, 45, 20, kSsCenter, text::kAddressLabel));
  ui.CreateControl(Label(id::kStatusAddress, 202, 125, 45, 20, kSsCenter, text::kNoValue));
  ui.CreateControl(Label(id::kStatusValue, 256, 125, 40, 20, kSsCenter, text::kNoValue));
  ui.CreateControl({id::kProgress, ControlKind::Progress, "msctls_progress32", kChild | kPbsSmooth,
                    0, 5, 153, 325, 10});
  ui.CreateControl(Frame(id::kToggleFrame, 5, 76, 108, 70, ""));

  ImageButton(app, id::kHelpToggle, 6, 59, 88, 52, text::kTipHelp, true);
  ImageButton(app, id::kBufferToggle, 7, 7, 88, 52, text::kTipBuffer, true);

  ui.CreateControl(Frame(id::kHelpFrame, 5, 170, 325, 122, text::kHelpFrame));
  ui.CreateControl(Label(id::kHelpLine1, 15, 190, 300, 20, kSsLeft, text::kHelpLine1));
  ui.CreateControl(Label(id::kHelpLine2, 15, 210, 300, 20, kSsLeft, text::kHelpLine2));
  ui.CreateControl(Label(id::kHelpLine3, 15, 230, 300, 20, kSsLeft, text::kHelpLine3));
  ui.CreateControl(Label(id::kHelpRule, 15, 250, 300, 20, kSsLeft, Text(106, '-')));
  ui.EnableControl(id::kHelpRule, false);
}

}  // namespace romprog

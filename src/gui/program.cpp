#include "gui/program.h"

#include "gui/buffer_window.h"
#include "gui/chip_commands.h"
#include "gui/control_ids.h"
#include "gui/hex_listing.h"
#include "gui/main_window.h"
#include "gui/open_image_file.h"
#include "gui/row_editor.h"
#include "gui/save_image_file.h"

namespace romprog {
namespace {

void ToggleHelp(App& app) {
  Toolkit& ui = app.ui;
  const int grow = ui.GetState(id::kHelpToggle) == 1 ? kHelpPanelHeight : -kHelpPanelHeight;
  ui.ResizeWindow(kMainWindow, ui.WindowX(kMainWindow), ui.WindowY(kMainWindow),
                  ui.WindowWidth(kMainWindow), ui.WindowHeight(kMainWindow) + grow);
}

void ToggleBuffer(App& app) {
  if (!app.state.bufferWindowOpen) return;
  if (app.ui.GetState(id::kBufferToggle) == 1) {
    app.ui.HideWindow(kBufferWindow, false);
    app.ui.ActivateWindow(kMainWindow);
  } else {
    app.ui.HideWindow(kBufferWindow, true);
    ClearRowEditor(app);
  }
}

// "Ввод": the edited row reaches the buffer, then the listing shows it and
// takes the focus back.
void StoreEditedRow(App& app) {
  if (!ApplyRowEdit(app)) return;
  RefreshListingRow(app, app.state.editRow);
  app.ui.SetActiveControl(id::kListing);
}

// The command behind each control that has one; other controls do nothing.
struct ControlCommand {
  int control;
  void (*run)(App&);
};
constexpr ControlCommand kControlCommands[] = {
    {id::kOpenFile, OpenImageFile},    {id::kSaveFile, SaveImageFile},
    {id::kBlankCheck, BlankCheck},     {id::kWriteChip, WriteChip},
    {id::kReadChip, ReadChip},         {id::kCompareChip, CompareChip},
    {id::kHelpToggle, ToggleHelp},     {id::kBufferToggle, ToggleBuffer},
    {id::kListing, LoadRowIntoEditor}, {id::kApplyRow, StoreEditedRow},
};

void HandleControl(App& app, int control) {
  for (const ControlCommand& command : kControlCommands) {
    if (command.control == control) return command.run(app);
  }
}

}  // namespace

void StartUp(App& app) {
  app.state.programmerPort.reset();
  app.state.imageBuffer.fill(0);
  BuildMainWindow(app);
  OpenBufferWindow(app);
  if (app.state.bufferWindowOpen) RefreshListing(app);
}

bool HandleEvent(App& app, const Event& event) {
  switch (event.kind) {
    case EventKind::Control:
      HandleControl(app, event.control);
      return true;
    case EventKind::Close:
      return event.window != kMainWindow;
    case EventKind::Other:
      return true;
  }
  return true;
}

void ShutDown(App& app) {
  app.ui.CloseWindow(kMainWindow);
  app.state.programmerPort.reset();
  app.ui.End();
}

int RunProgram(Toolkit& ui, PortOpener& ports, Clock& clock) {
  auto app = std::make_unique<App>(ui, ports, clock);
  StartUp(*app);
  while (HandleEvent(*app, ui.WaitForEvent())) {
  }
  ShutDown(*app);
  return 0;
}

}  // namespace romprog

#include "shell/program.h"

#include "buffer/hex_listing.h"
#include "buffer/row_editor.h"
#include "files/image_file_commands.h"
#include "programmer/chip_commands.h"
#include "shell/buffer_window.h"
#include "shell/control_ids.h"
#include "shell/main_window.h"

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

void HandleControl(App& app, int control) {
  switch (control) {
    case id::kOpenFile:
      OpenImageFile(app);
      break;
    case id::kSaveFile:
      SaveImageFile(app);
      break;
    case id::kBlankCheck:
      BlankCheck(app);
      break;
    case id::kWriteChip:
      WriteChip(app);
      break;
    case id::kReadChip:
      ReadChip(app);
      break;
    case id::kCompareChip:
      CompareChip(app);
      break;
    case id::kHelpToggle:
      ToggleHelp(app);
      break;
    case id::kBufferToggle:
      ToggleBuffer(app);
      break;
    case id::kListing:
      LoadRowIntoEditor(app);
      break;
    case id::kApplyRow:
      ApplyRowEdit(app);
      break;
    default:
      break;
  }
}

}  // namespace

void StartUp(App& app) {
  app.state.ProgrammerPort.reset();
  app.state.ImageBuffer.fill(0);
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
  app.state.ProgrammerPort.reset();
  app.ui.End();
}

int RunProgram(Toolkit& ui, SerialPorts& serial) {
  auto app = std::make_unique<App>(ui, serial);
  StartUp(*app);
  while (HandleEvent(*app, ui.WaitForEvent())) {
  }
  ShutDown(*app);
  return 0;
}

}  // namespace romprog

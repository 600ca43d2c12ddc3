#include "programmer/chip_commands.h"
#include "programmer/status_line.h"
#include "shell/texts.h"
#include "shell/win_constants.h"

namespace romprog {

void CompletionNotice(App& app) {
  app.ui.MessageBox(text::kOk, text::kOk, win::kMbOk | win::kMbIconInformation);
  ResetStatus(app);
}

}  // namespace romprog

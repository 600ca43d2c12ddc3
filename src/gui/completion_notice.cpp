#include "gui/completion_notice.h"

#include "gui/status_line.h"
#include "gui/texts.h"
#include "gui/win_constants.h"

namespace romprog {

void CompletionNotice(App& app) {
  app.ui.MessageBox(text::kOk, text::kOk, win::kMbOk | win::kMbIconInformation);
  ResetStatus(app);
}

}  // namespace romprog

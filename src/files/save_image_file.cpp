#include "buffer/chip_types.h"
#include "files/file_extension.h"
#include "files/image_file_commands.h"
#include "files/image_saver.h"
#include "programmer/chip_commands.h"
#include "shell/texts.h"
#include "shell/win_constants.h"

namespace romprog {

// The first filter entry is Intel HEX, any other a raw image; the entry
// chosen decides the format, whatever extension was typed.
void SaveImageFile(App& app) {
  const FileDialogResult chosen =
      app.ui.SaveFileDialog(text::kSaveTitle, Text(), text::kSaveFilter, 0);
  if (chosen.path.empty()) return;
  ApplyChipType(app);

  const bool intelHex = chosen.filterIndex == 0;
  const Text path = SaveFileName(chosen.path, intelHex);
  if (!SaveImage(path, app.state.ImageBuffer.data(), app.state.activeSize, intelHex)) {
    app.ui.MessageBox(Text(), text::kSaveFailed, win::kMbIconExclamation);
    return;
  }
  CompletionNotice(app);
}

}  // namespace romprog

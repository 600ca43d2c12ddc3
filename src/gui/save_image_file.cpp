#include "gui/save_image_file.h"

#include "core/file_extension.h"
#include "gui/chip_selector.h"
#include "gui/completion_notice.h"
#include "gui/texts.h"
#include "gui/win_constants.h"
#include "platform/image_files.h"

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
  const FileKind kind{intelHex ? FileFormat::IntelHex : FileFormat::Binary};
  if (!SaveImage(path, kind, app.state.imageBuffer.data(), app.state.activeSize)) {
    app.ui.MessageBox(Text(), text::kSaveFailed, win::kMbIconExclamation);
    return;
  }
  CompletionNotice(app);
}

}  // namespace romprog

#include "gui/open_image_file.h"

#include <memory>
#include <string>

#include "gui/chip_selector.h"
#include "gui/completion_notice.h"
#include "gui/hex_listing.h"
#include "gui/texts.h"
#include "gui/win_constants.h"
#include "platform/image_files.h"

namespace romprog {

Text OversizeText(int activeSize, std::int64_t fileSize) {
  const Text lfcr = "\n\r";
  return text::kChipSizeIs + std::to_string(activeSize) + text::kBytesUpper + lfcr +
         text::kFileSizeIs + std::to_string(fileSize) + text::kBytesLower + lfcr + lfcr +
         text::kLoaded + std::to_string(activeSize) + text::kBytesUpper;
}

Text LoadedText(int loadedExtent) {
  return text::kLoaded + std::to_string(loadedExtent) + text::kBytesUpper;
}

// The file is loaded into a copy first: a file that cannot be opened or read
// to its end leaves the user's image and its listing as they were.
void OpenImageFile(App& app) {
  ApplyChipType(app);
  const int activeSize = app.state.activeSize;
  const FileDialogResult chosen =
      app.ui.OpenFileDialog(text::kOpenTitle, Text(), text::kOpenFilter, 0);
  if (chosen.path.empty()) return;

  auto image = std::make_unique<decltype(app.state.imageBuffer)>();
  const LoadResult result =
      LoadImageFile(chosen.path, Reading::WindowProgram, activeSize, image->data());
  if (!result.loaded) {
    app.ui.MessageBox(Text(), text::kLoadFailed, win::kMbIconExclamation);
    return;
  }
  app.state.imageBuffer = *image;
  RefreshListing(app);

  if (result.format == FileFormat::IntelHex) {
    app.ui.MessageBox(text::kOk, LoadedText(result.read.loadedExtent), win::kMbIconInformation);
  } else if (result.fileSize > activeSize) {
    app.ui.MessageBox(Text(), OversizeText(activeSize, result.fileSize), win::kMbIconExclamation);
  } else {
    CompletionNotice(app);
  }
}

}  // namespace romprog

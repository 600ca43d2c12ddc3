#include "gui/button_pictures.h"

#include "gui/picture_data.h"

namespace romprog {

PictureStream EmbeddedPicture(int number) {
  if (number < 0 || number >= kPictureCount) return {};
  return {picture_data::kBytes + picture_data::kOffsets[number], picture_data::kSizes[number]};
}

PictureHandle ButtonPicture(Toolkit& ui, int number) {
  const PictureStream stream = EmbeddedPicture(number);
  if (stream.data == nullptr) return 0;
  return ui.PictureFromMemory(number, stream.data, stream.size);
}

}  // namespace romprog

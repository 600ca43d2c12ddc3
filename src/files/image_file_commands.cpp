#include "files/image_file_commands.h"

namespace romprog {

// Placeholders until the file commands land.
void OpenImageFile(App&) {}
void SaveImageFile(App&) {}

}  // namespace romprog

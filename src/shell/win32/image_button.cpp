#include "shell/win32/image_button.h"

namespace romprog::win32 {

// Placeholders until the pictures land.
HBITMAP CreatePictureBitmap(const std::uint8_t*, std::size_t) { return nullptr; }
void AttachPicture(HWND, HBITMAP) {}

}  // namespace romprog::win32

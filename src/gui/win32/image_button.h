// Drawing the decoded pictures on the image buttons.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace romprog::win32 {

// A 24-bit bottom-up DIB section decoded from a JPEG stream; nullptr when the
// stream cannot be decoded. The caller keeps it until the program ends.
HBITMAP CreatePictureBitmap(const std::uint8_t* data, std::size_t size);

// Makes `button` draw `picture` over its face on every paint.
void AttachPicture(HWND button, HBITMAP picture);

}  // namespace romprog::win32

#include "platform/captured_stream.h"

#include <cstdlib>

namespace romprog {

// No memory streams in the Windows C library: a temporary file instead.
CapturedStream::CapturedStream() : file_(std::tmpfile()) {}

CapturedStream::~CapturedStream() {
  if (file_) std::fclose(file_);
}

std::string CapturedStream::Take() {
  if (!file_) return "";
  std::string text(static_cast<std::size_t>(std::ftell(file_)), '\0');
  std::rewind(file_);
  text.resize(std::fread(text.data(), 1, text.size(), file_));
  std::fclose(file_);
  file_ = std::tmpfile();
  return text;
}

NullStream::NullStream() : file_(std::fopen("NUL", "w")) {}

}  // namespace romprog

#include "platform/captured_stream.h"

#include <cstdlib>

namespace romprog {

CapturedStream::CapturedStream() : file_(open_memstream(&buffer_, &size_)) {}

CapturedStream::~CapturedStream() {
  if (file_) std::fclose(file_);
  std::free(buffer_);
}

std::string CapturedStream::Take() {
  if (!file_) return "";
  std::fflush(file_);
  std::string text(buffer_, size_);
  std::rewind(file_);
  std::fflush(file_);
  return text;
}

NullStream::NullStream() : file_(std::fopen("/dev/null", "w")) {}

}  // namespace romprog

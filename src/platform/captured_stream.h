// A stream that keeps what is written to it, so a port's thread can write
// its messages as one command does and have them shown whole, named for
// its port, when its job ends.
#pragma once

#include <cstdio>
#include <string>

namespace romprog {

class CapturedStream {
 public:
  CapturedStream();
  ~CapturedStream();
  CapturedStream(const CapturedStream&) = delete;
  CapturedStream& operator=(const CapturedStream&) = delete;

  // stderr when no stream could be made.
  std::FILE* file() { return file_ ? file_ : stderr; }
  // What was written so far; the stream is empty afterwards.
  std::string Take();

 private:
  std::FILE* file_;
  // The memory stream's text where there are memory streams (POSIX).
  char* buffer_ = nullptr;
  std::size_t size_ = 0;
};

// Somewhere to send what is not to be shown.
class NullStream {
 public:
  NullStream();
  ~NullStream() {
    if (file_) std::fclose(file_);
  }
  NullStream(const NullStream&) = delete;
  NullStream& operator=(const NullStream&) = delete;
  // stderr when the null device does not open.
  std::FILE* file() const { return file_ ? file_ : stderr; }

 private:
  std::FILE* file_;
};

}  // namespace romprog

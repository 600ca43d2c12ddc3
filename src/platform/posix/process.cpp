#include "platform/process.h"

#include <unistd.h>

namespace romprog {

int ProcessId() {
  return static_cast<int>(getpid());
}

void BinaryMode(std::FILE*) {}

}  // namespace romprog

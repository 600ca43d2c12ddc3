#include "platform/process.h"

#include <fcntl.h>
#include <io.h>
#include <process.h>

namespace romprog {

int ProcessId() {
  return _getpid();
}

void BinaryMode(std::FILE* stream) {
  _setmode(_fileno(stream), _O_BINARY);
}

}  // namespace romprog

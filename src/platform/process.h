// This process: its id, and its standard streams' mode.
#pragma once

#include <cstdio>

namespace romprog {

// This process's id, for names of temporary files.
int ProcessId();
// `stream` passes bytes as they are: Windows turns 0x0A into 0x0D 0x0A and
// stops at 0x1A on a stream in text mode.
void BinaryMode(std::FILE* stream);

}  // namespace romprog

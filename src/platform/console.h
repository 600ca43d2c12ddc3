// The terminal a standard stream is on: whether it is one, whether it takes
// the escapes that move the cursor, how wide it is.
#pragma once

#include <cstdio>

namespace romprog {

bool IsTerminal(std::FILE* stream);
// Whether the terminal `stream` is takes the escapes that move the cursor
// up a line (a Windows console only once asked to).
bool MovesCursor(std::FILE* stream);
// The columns of the terminal `stream` is, 0 when it does not say.
int ConsoleColumns(std::FILE* stream);

// The terminal's own input, open for reading whatever standard input is;
// nullptr when there is none.
std::FILE* OpenConsoleInput();

}  // namespace romprog

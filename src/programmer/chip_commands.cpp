#include "programmer/chip_commands.h"

#include "programmer/port_selector.h"

namespace romprog {

// Placeholders until the programmer link lands.
void BlankCheck(App&) {}
void WriteChip(App&) {}
void ReadChip(App&) {}
void CompareChip(App&) {}
void CompletionNotice(App&) {}
void ProbePorts(App&) {}
void OpenProgrammerPort(App&) {}

}  // namespace romprog

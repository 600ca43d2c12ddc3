// Terminal settings that pass every byte through untouched.
#pragma once

namespace romprog::sim {

// Raw 9600 8N1, no flow control, no echo, no translation of any byte.
bool SetRawLine(int fd);

}  // namespace romprog::sim

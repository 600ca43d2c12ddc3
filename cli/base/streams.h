// The streams a command speaks on, and how it fails: one message on them,
// one exit code (exit_code.h) returned.
#pragma once

#include <cstdio>
#include <string>

namespace romtool {

struct Streams {
  std::FILE* out;               // results
  std::FILE* err;               // messages and progress
  std::FILE* json = nullptr;    // --json: where each chip job's result goes
  std::string* said = nullptr;  // a chip job's record: the first message Fail gives
};

// "romtool: MESSAGE" on the error stream, after what is pending on the
// output stream (a listing before its verdict); returns `code`.
int Fail(const Streams& streams, int code, const std::string& message);

}  // namespace romtool

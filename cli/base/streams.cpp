#include "cli/base/streams.h"

namespace romtool {

int Fail(const Streams& streams, int code, const std::string& message) {
  std::fflush(streams.out);
  std::fprintf(streams.err, "romtool: %s\n", message.c_str());
  if (streams.said && streams.said->empty()) *streams.said = message;
  return code;
}

}  // namespace romtool

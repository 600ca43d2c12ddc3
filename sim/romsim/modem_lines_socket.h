// romsim's end of the modem-lines preload library: the socket its requests
// come in on, one request per connection, answered while the host waits.
#pragma once

#include <string>

#include "sim/modem_lines.h"
#include "sim/unique_fd.h"

namespace romprog::sim {

class ModemLinesSocket {
 public:
  // Listens for the hosts of the pty slave `slaveFd`; false with `error` set.
  bool Listen(int slaveFd, std::string& error);
  int fd() const { return listening_.get(); }
  // Accepts the waiting host and reads its request; false when it went away.
  bool Accept(ModemRequest& request);
  // Answers the request Accept took and lets the host go on.
  void Reply(std::uint32_t bits);

 private:
  UniqueFd listening_;
  UniqueFd host_;
};

}  // namespace romprog::sim

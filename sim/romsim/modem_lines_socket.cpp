#include "sim/romsim/modem_lines_socket.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

#include <cerrno>
#include <cstddef>
#include <cstring>

namespace romprog::sim {
namespace {

// A host that connected sends its request at once; one that does not is gone.
constexpr int kRequestWaitMs = 1000;

bool Full(int fd, void* data, std::size_t size, bool sending) {
  auto* p = static_cast<char*>(data);
  while (size > 0) {
    if (!sending) {
      pollfd entry{fd, POLLIN, 0};
      if (poll(&entry, 1, kRequestWaitMs) <= 0) return false;
    }
    const ssize_t n = sending ? send(fd, p, size, MSG_NOSIGNAL) : recv(fd, p, size, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

bool ModemLinesSocket::Listen(int slaveFd, std::string& error) {
  struct stat st {};
  if (fstat(slaveFd, &st) != 0) {
    error = std::string("cannot look at the pty slave: ") + std::strerror(errno);
    return false;
  }
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const int length = ModemLinesAddress(st.st_rdev, address.sun_path, sizeof address.sun_path);
  listening_ = UniqueFd(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  const auto size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + length);
  if (!listening_.valid() ||
      bind(listening_.get(), reinterpret_cast<sockaddr*>(&address), size) != 0 ||
      listen(listening_.get(), 8) != 0) {
    error = std::string("cannot listen for modem-line requests: ") + std::strerror(errno);
    return false;
  }
  return true;
}

bool ModemLinesSocket::Accept(ModemRequest& request) {
  host_ = UniqueFd(accept4(listening_.get(), nullptr, nullptr, SOCK_CLOEXEC));
  if (host_.valid() && Full(host_.get(), &request, sizeof request, false)) return true;
  host_.Reset();
  return false;
}

void ModemLinesSocket::Reply(std::uint32_t bits) {
  ModemReply reply{bits};
  if (host_.valid()) Full(host_.get(), &reply, sizeof reply, true);
  host_.Reset();
}

}  // namespace romprog::sim

/* LD_PRELOAD library for hosts talking to romsim: a pty has no modem lines,
   so the modem-control and serial-info ioctls a host makes on romsim's pty
   slave go to romsim instead, which keeps RTS, DTR and the low-latency flag
   as a USB-serial adapter would. Every other ioctl, and every ioctl on a
   device no romsim serves, goes to the C library unchanged.

   Each request is one connection to romsim, answered before the ioctl
   returns: romsim takes the bytes the host wrote before the call first, so
   the line keeps the order of bytes and edges. Wine 8's 32-bit ntdll calls
   __ioctl_time64 rather than ioctl; both are wrapped. A test and
   development aid, shipped in no package. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <linux/serial.h>
#include <stdarg.h>
#include <stddef.h>
#include <string.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "sim/modem_lines.h"

typedef int (*IoctlFn)(int, unsigned long, ...);

static int ToOp(unsigned long request) {
  switch (request) {
    case TIOCMGET:
      return kModemGet;
    case TIOCMSET:
      return kModemSet;
    case TIOCMBIS:
      return kModemRaise;
    case TIOCMBIC:
      return kModemLower;
    case TIOCGSERIAL:
      return kSerialGet;
    case TIOCSSERIAL:
      return kSerialSet;
    default:
      return 0;
  }
}

static int FullIo(int fd, void* data, size_t size, int sending) {
  char* p = (char*)data;
  while (size > 0) {
    const ssize_t n = sending ? send(fd, p, size, MSG_NOSIGNAL) : recv(fd, p, size, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return 0;
    p += n;
    size -= (size_t)n;
  }
  return 1;
}

/* A connection to the romsim serving `fd`'s device, or -1 when none does. */
static int ConnectFor(int fd) {
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode)) return -1;
  struct sockaddr_un address;
  memset(&address, 0, sizeof address);
  address.sun_family = AF_UNIX;
  const int length = ModemLinesAddress(st.st_rdev, address.sun_path, sizeof address.sun_path);
  const int sock = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (sock < 0) return -1;
  if (connect(sock, (struct sockaddr*)&address,
              (socklen_t)(offsetof(struct sockaddr_un, sun_path) + (size_t)length)) != 0) {
    close(sock);
    return -1;
  }
  return sock;
}

static uint32_t RequestBits(int op, void* arg) {
  if (op == kModemSet || op == kModemRaise || op == kModemLower) return (uint32_t) * (int*)arg;
  if (op == kSerialSet) return (((struct serial_struct*)arg)->flags & ASYNC_LOW_LATENCY) != 0;
  return 0;
}

static void StoreReply(int op, uint32_t bits, void* arg) {
  if (op == kModemGet) *(int*)arg = (int)bits;
  if (op != kSerialGet) return;
  struct serial_struct* serial = (struct serial_struct*)arg;
  memset(serial, 0, sizeof *serial);
  serial->type = PORT_16550A;
  serial->baud_base = 115200;
  serial->xmit_fifo_size = 16;
  serial->flags = bits ? ASYNC_LOW_LATENCY : 0;
}

/* 1 when romsim took the request (the ioctl succeeds), 0 when `fd` is not
   its pty or it is gone (the real ioctl runs). */
static int AskRomsim(int fd, unsigned long request, void* arg) {
  const int op = ToOp(request);
  if (op == 0 || arg == NULL) return 0;
  const int saved = errno;
  const int sock = ConnectFor(fd);
  if (sock < 0) {
    errno = saved;
    return 0;
  }
  struct ModemRequest ask = {(uint32_t)op, RequestBits(op, arg)};
  struct ModemReply reply = {0};
  const int ok = FullIo(sock, &ask, sizeof ask, 1) && FullIo(sock, &reply, sizeof reply, 0);
  close(sock);
  errno = saved;
  if (ok) StoreReply(op, reply.bits, arg);
  return ok;
}

/* dlsym hands out functions as object pointers; copied bit for bit, as
   POSIX has it, since ISO C has no conversion between the two. */
static IoctlFn Lookup(const char* name) {
  void* symbol = dlsym(RTLD_NEXT, name);
  IoctlFn function;
  memcpy(&function, &symbol, sizeof function);
  return function;
}

static IoctlFn Next(const char* name) {
  IoctlFn next = Lookup(name);
  return next != NULL ? next : Lookup("ioctl");
}

/* romsim's pty answered here, everything else by the C library's `name`. */
static int Handle(const char* name, IoctlFn* next, int fd, unsigned long request, void* arg) {
  if (AskRomsim(fd, request, arg)) return 0;
  if (*next == NULL) *next = Next(name);
  return (*next)(fd, request, arg);
}

int ioctl(int fd, unsigned long request, ...) {
  static IoctlFn next;
  va_list args;
  va_start(args, request);
  void* arg = va_arg(args, void*);
  va_end(args);
  return Handle("ioctl", &next, fd, request, arg);
}

int __ioctl_time64(int fd, unsigned long request, ...) {
  static IoctlFn next;
  va_list args;
  va_start(args, request);
  void* arg = va_arg(args, void*);
  va_end(args);
  return Handle("__ioctl_time64", &next, fd, request, arg);
}

/* What romsim and its preload library (host/modem_lines_preload.c) say to each
   other: the host's modem-control and serial-info ioctls on romsim's pty
   slave, handed to romsim one request per connection. Plain C: the library
   is built with gcc for x86_64 and for i386. */
#ifndef ROMSIM_MODEM_LINES_H
#define ROMSIM_MODEM_LINES_H

#include <stdint.h>
#include <stdio.h>
#include <sys/types.h>

enum {
  kModemGet = 1,   /* TIOCMGET */
  kModemSet = 2,   /* TIOCMSET: bits */
  kModemRaise = 3, /* TIOCMBIS: bits */
  kModemLower = 4, /* TIOCMBIC: bits */
  kSerialGet = 5,  /* TIOCGSERIAL: reply bits 1 when low latency is on */
  kSerialSet = 6,  /* TIOCSSERIAL: bits 1 asks for low latency */
};

struct ModemRequest {
  uint32_t op;
  uint32_t bits; /* TIOCM_* bits, or the low-latency flag */
};

struct ModemReply {
  uint32_t bits; /* the line's TIOCM_* bits, or the low-latency flag, after the request */
};

/* The abstract Unix socket name romsim listens on for the pty with device
   number `rdev`: only that device's ioctls go to it. Returns the length of
   the address path (it starts with a NUL byte). */
static inline int ModemLinesAddress(dev_t rdev, char* path, int size) {
  const int n =
      snprintf(path + 1, (size_t)(size - 1), "romsim-lines/%llu", (unsigned long long)rdev);
  path[0] = '\0';
  return n + 1;
}

#endif

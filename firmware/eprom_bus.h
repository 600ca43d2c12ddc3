/* The chip in the socket: its address lines through the two 74HC595, its
   data lines, /CE, /OE and the two supplies; reading a cell and programming
   one by the 100 us algorithm of the 27C64, 27C128 and 27C256. */
#ifndef ROMPROG_FIRMWARE_EPROM_BUS_H
#define ROMPROG_FIRMWARE_EPROM_BUS_H

#include <stdint.h>

/* At most this many 100 us pulses per byte, each followed by a verify. */
#define PROGRAM_MAX_PULSES 25

enum chip_kind {
  CHIP_27C64,  /* socket pin 27 is /PGM, pin 26 unused */
  CHIP_27C128, /* socket pin 27 is /PGM */
  CHIP_27C256, /* socket pin 27 is A14; the pulse goes to /CE */
};

/* Every line in its resting state: supplies at 5 V, chip deselected. */
void bus_init(void);
/* The cell at `address` read at VCC = VPP = 5 V. */
uint8_t bus_read(enum chip_kind kind, uint16_t address);
/* Programs `value` into the cell at `address`: VCC to 6.25 V, then VPP to
   12.75 V, pulses with a verify after each until the cell holds it (at most
   PROGRAM_MAX_PULSES), VPP off, VCC back to 5 V, and a final read. 1 when
   that read gives `value`. */
uint8_t bus_program(enum chip_kind kind, uint16_t address, uint8_t value);

#endif

/* Where the programmer's lines meet the ATmega328P: the one table the
   firmware drives and the simulated board wires. Plain C, included by the
   AVR firmware and by the board's C++ alike. Ports are named by letter,
   pins by bit number. */
#ifndef ROMPROG_FIRMWARE_PINS_H
#define ROMPROG_FIRMWARE_PINS_H

/* D0-D5 of the chip on PD2-PD7 (Uno pins 2-7), D6-D7 on PB0-PB1 (8-9):
   PD0 and PD1 are the UART's. */
#define PIN_DATA_LOW_PORT 'D'
#define PIN_DATA_LOW_SHIFT 2 /* D0 on PD2 */
#define PIN_DATA_HIGH_PORT 'B'
#define PIN_DATA_HIGH_SHIFT 0 /* D6 on PB0 */

/* The two 74HC595 in a chain, bit-banged: A0-A7 in the first, A8-A14 in
   the second (its QH unused). */
#define PIN_SHIFT_PORT 'B'
#define PIN_SHIFT_LATCH 2 /* RCLK, Uno pin 10 */
#define PIN_SHIFT_DATA 3  /* SER of the first, Uno pin 11 */
#define PIN_SHIFT_CLOCK 5 /* SRCLK of both, Uno pin 13 */

/* Chip control and the two supply switches, Uno pins A0-A3, and the host's
   RTS (active low, as a USB-serial adapter's RTS# pin gives it) on A4. */
#define PIN_CONTROL_PORT 'C'
#define PIN_CE 0      /* /CE of the chip */
#define PIN_OE 1      /* /OE of the chip */
#define PIN_VPP_ON 2  /* high: VPP pin at 12.75 V, low: at VCC */
#define PIN_VCC_PROG 3 /* high: VCC at 6.25 V, low: at 5 V */
#define PIN_RTS 4     /* low while the host asserts RTS */

/* Socket pin 27 is A14 on a 27C256 and /PGM on a 27C64 or 27C128: the
   chain's A14 output drives it either way. */
#define LINE_A14_PGM 14

#endif

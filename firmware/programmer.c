/* romprog's programmer: the byte protocol of the host programs on the serial
   line, a 27C64, 27C128 or 27C256 in the socket. A command byte names the
   chip (its size in 256-byte pages) and the direction (bit 0 set: write);
   the programmer answers it with one byte, then one byte passes per cell
   from address 0, each answered before the next: the cell's byte and the
   host's 0xAA when reading, the host's byte and 0xAA (programmed) or 0x00
   (failed) when writing. */
#include <stdint.h>

#include "firmware/eprom_bus.h"
#include "firmware/serial_line.h"

#define ACKNOWLEDGE 0xAA
#define CELL_FAILED 0x00
#define NO_COMMAND (-1)

/* The chip a command byte names, and its size in cells; 0 when it names
   none. */
static uint16_t chip_of(uint8_t command, enum chip_kind* kind) {
  switch (command & 0xFE) {
    case 0x20:
      *kind = CHIP_27C64;
      return 8192;
    case 0x40:
      *kind = CHIP_27C128;
      return 16384;
    case 0x80:
      *kind = CHIP_27C256;
      return 32768;
    default:
      return 0;
  }
}

/* Sends the cells from 0 on, each after the host acknowledged the last.
   Returns the byte that came where an acknowledge was due when it is the
   host's next command (no RTS: nothing else tells the two apart), else
   NO_COMMAND. */
static int16_t send_cells(struct line* line, enum chip_kind kind, uint16_t size) {
  for (uint16_t address = 0; address < size; ++address) {
    line_send(bus_read(kind, address));
    const int16_t answer = line_exchange_byte(line);
    if (answer == ACKNOWLEDGE) continue;
    enum chip_kind next;
    if (answer != LINE_END && !line->framed && chip_of((uint8_t)answer, &next) != 0) return answer;
    return NO_COMMAND;
  }
  return NO_COMMAND;
}

/* Programs the host's bytes from cell 0 on; the first cell that does not
   take its value ends the exchange. */
static void take_cells(struct line* line, enum chip_kind kind, uint16_t size) {
  for (uint16_t address = 0; address < size; ++address) {
    const int16_t value = line_exchange_byte(line);
    if (value == LINE_END) return;
    const uint8_t programmed = bus_program(kind, address, (uint8_t)value);
    line_send(programmed ? ACKNOWLEDGE : CELL_FAILED);
    if (!programmed) return;
  }
}

/* One exchange from its command byte; returns the next command when the
   host sent it in place of an acknowledge. */
static int16_t run_exchange(struct line* line, uint8_t command) {
  enum chip_kind kind;
  const uint16_t size = chip_of(command, &kind);
  if (size == 0) return NO_COMMAND;
  line_send(command);
  if (command & 1) {
    take_cells(line, kind, size);
    return NO_COMMAND;
  }
  return send_cells(line, kind, size);
}

int main(void) {
  struct line line;
  bus_init();
  line_init(&line);
  for (;;) {
    int16_t command = line_command_byte(&line);
    while (command != NO_COMMAND) command = run_exchange(&line, (uint8_t)command);
    line_wait_end(&line);
  }
}

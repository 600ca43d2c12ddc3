/* The programmer's end of the serial line: 9600 8N1 on the UART, the host's
   RTS on an input pin, a millisecond clock, and sleep while nothing comes. */
#ifndef ROMPROG_FIRMWARE_SERIAL_LINE_H
#define ROMPROG_FIRMWARE_SERIAL_LINE_H

#include <stdint.h>

/* What a wait for a byte brought instead of one: the exchange is over. */
#define LINE_END (-1)

/* The host ends an exchange by silence this long when its RTS does not
   reach the board; its own pauses between bytes stay far below it. */
#define LINE_SILENCE_MS 200

struct line {
  /* RTS was seen asserted once: it is wired and frames every exchange from
     now on (an unwired pin rests high, deasserted, behind its pull-up). */
  uint8_t framed;
};

void line_init(struct line* line);
void line_send(uint8_t byte);
/* Whether the host asserts RTS now; notes that it is wired. */
uint8_t line_rts(struct line* line);
/* The next byte of an exchange, or LINE_END: RTS deasserted when framed,
   LINE_SILENCE_MS without a byte when not. */
int16_t line_exchange_byte(struct line* line);
/* The next command byte: framed, only a byte that comes while RTS is
   asserted (others are dropped); unframed, any byte. */
uint8_t line_command_byte(struct line* line);
/* Framed: drops what comes until RTS is deasserted, the end of an exchange
   the programmer finished first. Unframed: returns at once. */
void line_wait_end(struct line* line);

#endif

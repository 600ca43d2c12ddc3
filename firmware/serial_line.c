#include "firmware/serial_line.h"

#include <avr/interrupt.h>
#include <avr/io.h>
#include <avr/sleep.h>
#include <util/atomic.h>

#include "firmware/pins.h"

#define BAUD 9600
#include <util/setbaud.h>

/* Milliseconds since start, counted by Timer1's compare interrupt. The one
   variable an interrupt writes; read atomically. */
static volatile uint16_t milliseconds;

ISR(TIMER1_COMPA_vect) {
  ++milliseconds;
}

/* A received byte only wakes the CPU: the loop reads it from UDR0. The
   interrupt turns itself off, as it would fire again until then. */
ISR(USART_RX_vect) {
  UCSR0B &= (uint8_t)~_BV(RXCIE0);
}

/* An edge of RTS only wakes the CPU. */
EMPTY_INTERRUPT(PCINT1_vect)

static uint16_t now_ms(void) {
  uint16_t ms;
  ATOMIC_BLOCK(ATOMIC_RESTORESTATE) { ms = milliseconds; }
  return ms;
}

void line_init(struct line* line) {
  line->framed = 0;
  UBRR0H = UBRRH_VALUE;
  UBRR0L = UBRRL_VALUE;
#if USE_2X
  UCSR0A |= _BV(U2X0);
#else
  UCSR0A &= (uint8_t)~_BV(U2X0);
#endif
  UCSR0C = _BV(UCSZ01) | _BV(UCSZ00); /* 8N1 */
  UCSR0B = _BV(RXEN0) | _BV(TXEN0);

  /* RTS in with its pull-up: unwired, it reads deasserted. */
  DDRC &= (uint8_t)~_BV(PIN_RTS);
  PORTC |= _BV(PIN_RTS);
  PCMSK1 |= _BV(PCINT8 + PIN_RTS);
  PCICR |= _BV(PCIE1);

  /* 1 ms ticks: 16 MHz / 64 / 250. */
  TCCR1A = 0;
  TCCR1B = _BV(WGM12) | _BV(CS11) | _BV(CS10);
  OCR1A = F_CPU / 64 / 1000 - 1;
  TIMSK1 = _BV(OCIE1A);
  set_sleep_mode(SLEEP_MODE_IDLE);
  sei();
}

void line_send(uint8_t byte) {
  loop_until_bit_is_set(UCSR0A, UDRE0);
  UDR0 = byte;
}

uint8_t line_rts(struct line* line) {
  const uint8_t asserted = bit_is_clear(PINC, PIN_RTS) ? 1 : 0;
  if (asserted) line->framed = 1;
  return asserted;
}

/* Sleeps until an interrupt: the next byte, an RTS edge or the next tick.
   The byte test and the sleep are one step, so a byte that comes between
   them still wakes it. */
static void idle(void) {
  cli();
  if (bit_is_clear(UCSR0A, RXC0)) {
    UCSR0B |= _BV(RXCIE0);
    sleep_enable();
    sei();
    sleep_cpu();
    sleep_disable();
  }
  sei();
}

static uint8_t byte_waiting(void) {
  return bit_is_set(UCSR0A, RXC0) ? 1 : 0;
}

int16_t line_exchange_byte(struct line* line) {
  const uint16_t start = now_ms();
  for (;;) {
    const uint8_t rts = line_rts(line);
    if (line->framed && !rts) return LINE_END;
    if (byte_waiting()) return UDR0;
    if (!line->framed && (uint16_t)(now_ms() - start) >= LINE_SILENCE_MS) return LINE_END;
    idle();
  }
}

uint8_t line_command_byte(struct line* line) {
  for (;;) {
    const uint8_t rts = line_rts(line);
    if (byte_waiting()) {
      const uint8_t byte = UDR0;
      if (!line->framed || rts) return byte;
      continue; /* stray: RTS is down */
    }
    idle();
  }
}

void line_wait_end(struct line* line) {
  while (line->framed && line_rts(line)) {
    if (byte_waiting()) {
      (void)UDR0;
      continue;
    }
    idle();
  }
}

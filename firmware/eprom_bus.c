#include "firmware/eprom_bus.h"

#include <avr/io.h>
#include <util/delay.h>

#include "firmware/pins.h"

/* The supplies' switches and regulators settle well within this (see
   README.md); the chips ask for 2 us of VCC and VPP before a pulse. */
#define SUPPLY_SETTLE_US 50
/* Address, data and /OE setup before a pulse or a read (2 us asked; the
   data lines' series resistors add nanoseconds). */
#define SETUP_US 2
/* The pulse in Timer2 ticks of 0.5 us: 100 us. */
#define PULSE_TICKS 200

#define DATA_LOW_MASK ((uint8_t)(0x3F << PIN_DATA_LOW_SHIFT))
#define DATA_HIGH_MASK ((uint8_t)(0x03 << PIN_DATA_HIGH_SHIFT))
#define PGM_HIGH ((uint16_t)1 << LINE_A14_PGM)

static void control(uint8_t pin, uint8_t high) {
  if (high) {
    PORTC |= _BV(pin);
  } else {
    PORTC &= (uint8_t)~_BV(pin);
  }
}

/* Shifts 16 lines into the chain, A15 first, without latching. */
static void shift_lines(uint16_t lines) {
  for (uint8_t i = 0; i < 16; ++i) {
    if (lines & 0x8000) {
      PORTB |= _BV(PIN_SHIFT_DATA);
    } else {
      PORTB &= (uint8_t)~_BV(PIN_SHIFT_DATA);
    }
    PORTB |= _BV(PIN_SHIFT_CLOCK);
    PORTB &= (uint8_t)~_BV(PIN_SHIFT_CLOCK);
    lines <<= 1;
  }
}

/* The shifted lines reach the socket at once. */
static void latch_lines(void) {
  PORTB |= _BV(PIN_SHIFT_LATCH);
  PORTB &= (uint8_t)~_BV(PIN_SHIFT_LATCH);
}

static void set_lines(uint16_t lines) {
  shift_lines(lines);
  latch_lines();
}

/* The socket's address lines for a cell: on a 27C64 or 27C128 pin 27 is
   /PGM, held high (inactive) unless a pulse runs. */
static uint16_t lines_for(enum chip_kind kind, uint16_t address) {
  return kind == CHIP_27C256 ? address : (uint16_t)(address | PGM_HIGH);
}

static void data_drive(uint8_t value) {
  PORTD = (uint8_t)((PORTD & ~DATA_LOW_MASK) | ((uint8_t)(value << PIN_DATA_LOW_SHIFT) & DATA_LOW_MASK));
  PORTB = (uint8_t)((PORTB & ~DATA_HIGH_MASK) | ((uint8_t)(value >> 6) << PIN_DATA_HIGH_SHIFT));
  DDRD |= DATA_LOW_MASK;
  DDRB |= DATA_HIGH_MASK;
}

/* Data lines as inputs without pull-ups: the chip drives them. */
static void data_release(void) {
  DDRD &= (uint8_t)~DATA_LOW_MASK;
  DDRB &= (uint8_t)~DATA_HIGH_MASK;
  PORTD &= (uint8_t)~DATA_LOW_MASK;
  PORTB &= (uint8_t)~DATA_HIGH_MASK;
}

static uint8_t data_sample(void) {
  return (uint8_t)(((PIND & DATA_LOW_MASK) >> PIN_DATA_LOW_SHIFT) |
                   (((PINB & DATA_HIGH_MASK) >> PIN_DATA_HIGH_SHIFT) << 6));
}

/* With /OE low for SETUP_US: what the chip drives. */
static uint8_t data_with_output_enabled(void) {
  control(PIN_OE, 0);
  _delay_us(SETUP_US);
  const uint8_t value = data_sample();
  control(PIN_OE, 1);
  return value;
}

void bus_init(void) {
  PORTC = (uint8_t)((PORTC & ~0x0F) | _BV(PIN_CE) | _BV(PIN_OE));
  DDRC |= _BV(PIN_CE) | _BV(PIN_OE) | _BV(PIN_VPP_ON) | _BV(PIN_VCC_PROG);
  PORTB &= (uint8_t)~(_BV(PIN_SHIFT_DATA) | _BV(PIN_SHIFT_CLOCK) | _BV(PIN_SHIFT_LATCH));
  DDRB |= _BV(PIN_SHIFT_DATA) | _BV(PIN_SHIFT_CLOCK) | _BV(PIN_SHIFT_LATCH);
  data_release();
  set_lines(PGM_HIGH);
  /* Timer2 counts the pulse: 16 MHz / 8, 0.5 us a tick. */
  TCCR2A = 0;
  TCCR2B = _BV(CS21);
}

uint8_t bus_read(enum chip_kind kind, uint16_t address) {
  data_release();
  set_lines(lines_for(kind, address));
  control(PIN_CE, 0);
  const uint8_t value = data_with_output_enabled();
  control(PIN_CE, 1);
  return value;
}

/* One 100 us program pulse, timed by Timer2 from its first edge to its
   last: on /PGM (through the chain) for a 27C64 or 27C128 with /CE low, on
   /CE for a 27C256. The chain is loaded before each edge, so the latch
   strobes alone bound the pulse. */
static void pulse(enum chip_kind kind, uint16_t address) {
  if (kind == CHIP_27C256) {
    TCNT2 = 0;
    control(PIN_CE, 0);
    while (TCNT2 < PULSE_TICKS) {
    }
    control(PIN_CE, 1);
    return;
  }
  shift_lines(address);
  TCNT2 = 0;
  latch_lines();
  shift_lines(lines_for(kind, address));
  while (TCNT2 < PULSE_TICKS) {
  }
  latch_lines();
}

static void supplies_up(void) {
  control(PIN_VCC_PROG, 1);
  _delay_us(SUPPLY_SETTLE_US);
  control(PIN_VPP_ON, 1);
  _delay_us(SUPPLY_SETTLE_US);
}

static void supplies_down(void) {
  control(PIN_VPP_ON, 0);
  _delay_us(SUPPLY_SETTLE_US);
  control(PIN_VCC_PROG, 0);
  _delay_us(SUPPLY_SETTLE_US);
}

uint8_t bus_program(enum chip_kind kind, uint16_t address, uint8_t value) {
  /* Programming only clears bits: a cell that already holds the value, or
     one asked for 0xFF, needs no pulse, only the read that proves it. */
  const uint8_t held = bus_read(kind, address);
  if (held == value || (held & value) != value) return held == value;

  set_lines(lines_for(kind, address));
  if (kind != CHIP_27C256) control(PIN_CE, 0);
  supplies_up();
  uint8_t verified = 0;
  for (uint8_t n = 0; n < PROGRAM_MAX_PULSES && !verified; ++n) {
    data_drive(value);
    _delay_us(SETUP_US);
    pulse(kind, address);
    /* Program verify: VPP and VCC stay up, /OE goes low; /CE is high on a
       27C256 after its pulse, low with /PGM high on the others. */
    data_release();
    verified = data_with_output_enabled() == value;
  }
  supplies_down();
  control(PIN_CE, 1);
  return verified && bus_read(kind, address) == value;
}

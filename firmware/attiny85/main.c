/*
 * Settings receiver for an ATtiny85 on its internal 8 MHz oscillator (512 bytes of RAM, 512 of
 * EEPROM): a light sensor on INT0 (PB2) sees the panels swap, the reference receiver's streaming
 * mode decodes the swaps, and each value goes straight into the spare EEPROM slot as it comes;
 * the slot becomes the one in force only when the packet checks out.
 *
 *   PB2 (INT0)  sensor, digital (comparator or Schmitt trigger output); both edges are swaps
 *   PB0         success LED: the last run's settings are stored
 *   PB1         failure LED: the last run failed; the settings stored before are kept
 *
 * Timing: Timer0 (8 bits) runs free at F_CPU / 8, one tick a microsecond; its overflow interrupt
 * counts the upper bits, and the receiver takes the low 32 bits of that microsecond count, which
 * may wrap. The sensor interrupt only takes the time and queues it; the main loop feeds the
 * receiver, polls it, and sleeps (idle mode, woken at each overflow, every 256 us).
 * docs/firmware.md has the reasons, and the clock accuracy an internal oscillator needs.
 */
#include <avr/eeprom.h>
#include <avr/interrupt.h>
#include <avr/io.h>
#include <avr/sleep.h>
#include <stdbool.h>
#include <stdint.h>

#include "firmware/avr/settings_record.h"
#include "protocol/optical_protocol.h"
#include "receiver/optical_receiver.h"

#if F_CPU != 8000000UL
#error "Timer0 at F_CPU / 8 gives 1 us ticks only at 8 MHz: adjust now_us_locked for this clock"
#endif

/* Two slots of 256 bytes in the 512 of EEPROM: 252 settings each (the tool sends at most 100). */
#define SLOT_SIZE 0x100u
#define SLOT_VALUES SETTINGS_CAPACITY(SLOT_SIZE)

#define LED_SUCCESS _BV(PB0)
#define LED_FAILURE _BV(PB1)
#define SENSOR _BV(PB2)

/* ---- Time: Timer0 ticks (1 us) widened by a count of overflows ---------------------------- */

static volatile uint32_t timer_overflows;

ISR(TIMER0_OVF_vect) { timer_overflows++; }

/* Microseconds since start, modulo 2^32. Call with interrupts disabled. If the counter has
 * wrapped but the overflow interrupt has not run yet (its flag still pending), a small counter
 * value means the wrap came first. This holds while nothing keeps interrupts off for more than
 * half a wrap (128 us). */
static inline uint32_t now_us_locked(void) {
  const uint8_t count = TCNT0;
  uint32_t overflows = timer_overflows;
  if ((TIFR & _BV(TOV0)) && count < 0x80u) overflows++;
  return overflows << 8 | count;
}

/* ---- Swaps queued by the sensor interrupt ------------------------------------------------- */

/* During a run the main loop is busy at most one EEPROM write (3.4 ms) at a time, far less than
 * the 25 ms between two swaps: 4 entries leave room for a little noise. */
#define SWAP_QUEUE_SIZE 4u /* a power of two */
static uint32_t swap_queue[SWAP_QUEUE_SIZE];
static volatile uint8_t swap_head; /* written by the ISR only */
static volatile uint8_t swap_tail; /* written by the main loop only */
static volatile bool swap_lost;    /* a swap found the queue full and was dropped */

ISR(INT0_vect) {
  const uint32_t now = now_us_locked();
  const uint8_t head = swap_head;
  if ((uint8_t)(head - swap_tail) >= SWAP_QUEUE_SIZE) {
    swap_lost = true;
    return;
  }
  swap_queue[head & (SWAP_QUEUE_SIZE - 1u)] = now;
  swap_head = (uint8_t)(head + 1u);
}

static bool swap_queue_empty(void) { return swap_head == swap_tail; }

/* Takes the oldest queued swap; false if none. */
static bool swap_queue_take(uint32_t* time_us) {
  const uint8_t tail = swap_tail;
  if (swap_head == tail) return false;
  cli(); /* a barrier too: the entry is read before the tail moves past it */
  *time_us = swap_queue[tail & (SWAP_QUEUE_SIZE - 1u)];
  sei();
  swap_tail = (uint8_t)(tail + 1u);
  return true;
}

/* ---- Settings in EEPROM only (layout in settings_record.h) -------------------------------- */

/* The slot holding the settings in force, -1 if EEPROM holds none. A device's own code reads
 * the settings from there. */
int8_t settings_slot = -1;

static uint8_t eeprom_read(uint16_t address, void* context) {
  (void)context;
  return eeprom_read_byte((const uint8_t*)(uintptr_t)address);
}

static void eeprom_put(uint16_t address, uint8_t value) {
  eeprom_update_byte((uint8_t*)(uintptr_t)address, value);
}

/* The run being received, written into the slot not in force as it comes. */
static uint16_t incoming_base;
static uint8_t incoming_sequence, incoming_count, incoming_check;

/* The sync byte: a run begins. Its slot stops being valid before any value goes in. */
static void incoming_begin(void) {
  const uint8_t slot = settings_slot == 0 ? 1 : 0;
  incoming_base = SETTINGS_SLOT_BASE(slot, SLOT_SIZE);
  incoming_sequence = 1;
  if (settings_slot >= 0)
    incoming_sequence =
        (uint8_t)(eeprom_read(
                      SETTINGS_SLOT_BASE(settings_slot, SLOT_SIZE) + SETTINGS_OFFSET_SEQUENCE, 0) +
                  1u);
  eeprom_put(incoming_base + SETTINGS_OFFSET_MARKER, 0xFFu);
}

static void incoming_count_byte(uint8_t count) {
  incoming_count = count;
  incoming_check = settings_crc8(settings_crc8(0, incoming_sequence), count);
}

/* The check is worked out from the values received, not from what the EEPROM took. */
static void incoming_value(uint8_t index, uint8_t value) {
  if (incoming_count > SLOT_VALUES) return; /* refused at the end */
  incoming_check = settings_crc8(incoming_check, value);
  eeprom_put(incoming_base + SETTINGS_OFFSET_VALUES + index, value);
}

/* The packet checked out: sequence, count and check, the marker last, then the slot read back.
 * False (the old settings stay in force) if the set does not fit or a cell did not keep it. */
static bool incoming_commit(void) {
  if (incoming_count > SLOT_VALUES) return false;
  eeprom_put(incoming_base + SETTINGS_OFFSET_SEQUENCE, incoming_sequence);
  eeprom_put(incoming_base + SETTINGS_OFFSET_COUNT, incoming_count);
  eeprom_put(incoming_base + SETTINGS_OFFSET_CHECK, incoming_check);
  eeprom_put(incoming_base + SETTINGS_OFFSET_MARKER, SETTINGS_COMMITTED);
  const uint8_t slot = incoming_base == 0 ? 0 : 1;
  if (!settings_slot_valid(slot, SLOT_SIZE, eeprom_read, 0)) return false;
  settings_slot = (int8_t)slot;
  return true;
}

/* ---- Outcome ------------------------------------------------------------------------------ */

static void show(uint8_t leds) { PORTB = (uint8_t)((PORTB & ~(LED_SUCCESS | LED_FAILURE)) | leds); }

static orx_stream rx;

/* Acts on what a swap or a poll produced. After a truncation the receiver still gives the
 * length of the packet cut short, so stray swaps (no byte) are told from a real run. */
static void handle(orx_event event) {
  if (event == ORX_NONE) return;
  const uint16_t length = orx_stream_length(&rx);
  if (event == ORX_BYTE) {
    const uint8_t byte = orx_stream_byte(&rx);
    if (length == 1) {
      show(0); /* a new run: the last run's outcome no longer applies */
      incoming_begin();
    } else if (length == 2) {
      incoming_count_byte(byte);
    } else {
      incoming_value((uint8_t)(length - 3u), byte);
    }
  } else if (event == ORX_PACKET) {
    show(incoming_commit() ? LED_SUCCESS : LED_FAILURE);
  } else if (event == ORX_ERR_TRUNCATED && length == 0) {
    /* Stray edges with no byte behind them (a hand, the window opening): not a run. */
  } else if (event >= ORX_ERR_INTERVAL) {
    show(LED_FAILURE);
  }
}

int main(void) {
  DDRB |= LED_SUCCESS | LED_FAILURE;
  /* The sensor pin is an input without the internal pull-up: the circuit's own pull-up resistor
   * serves an open-collector comparator. The LEDs share the port, and the simulator in the tests
   * takes every write of the port for a new level of a pulled-up input pin. */
  DDRB &= (uint8_t)~SENSOR;
  PORTB &= (uint8_t)~SENSOR;

  /* Timer0 free-running (normal mode) at F_CPU / 8, overflow interrupt on. */
  TCCR0A = 0;
  TCCR0B = _BV(CS01);
  TIMSK = _BV(TOIE0);
  /* INT0 on any logical change: both directions of a swap count. */
  MCUCR = (uint8_t)((MCUCR & ~(_BV(ISC01) | _BV(ISC00))) | _BV(ISC00));
  GIFR = _BV(INTF0);
  GIMSK = _BV(INT0);

  settings_slot = (int8_t)settings_current_slot(SLOT_SIZE, eeprom_read, 0);
  orx_stream_init(&rx, OPTICAL_ZERO_BIT_US, OPTICAL_ONE_BIT_US, OPTICAL_START_US);
  set_sleep_mode(SLEEP_MODE_IDLE);
  sei();

  uint32_t last_us = 0;
  for (;;) {
    uint32_t time_us;
    while (swap_queue_take(&time_us)) {
      last_us = time_us;
      handle(orx_stream_swap(&rx, time_us));
    }
    if (swap_lost) {
      /* Swaps were dropped, so the intervals around them are wrong: the last time again, right
       * after itself, is an interval of zero, which the receiver rejects. */
      swap_lost = false;
      handle(orx_stream_swap(&rx, last_us));
    }

    /* Poll with a time taken while no swap is queued, so that no earlier swap can follow it. */
    cli();
    if (swap_queue_empty()) {
      const uint32_t now = now_us_locked();
      sei();
      handle(orx_stream_poll(&rx, now));
    }
    sei();

    cli();
    if (swap_queue_empty() && !swap_lost) {
      sleep_enable();
      sei();
      sleep_cpu();
      sleep_disable();
    }
    sei();
  }
}

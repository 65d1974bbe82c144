/*
 * Settings receiver for an ATmega328P at 16 MHz: a light sensor on INT0 (PD2) sees the panels
 * swap, the reference receiver decodes the swaps, and a whole, checked packet goes to EEPROM.
 *
 *   PD2 (INT0)  sensor, digital (comparator or Schmitt trigger output); both edges are swaps
 *   PB5         success LED: the last run's settings are stored
 *   PB4         failure LED: the last run failed; the settings stored before are kept
 *
 * Timing: Timer1 runs free at F_CPU / 8 (0.5 us a tick), its overflow interrupt counts the
 * upper bits. The sensor interrupt only takes the time and queues it; the main loop feeds the
 * receiver, polls it so that a run cut off is noticed without another swap, and sleeps (idle
 * mode, in which Timer1 keeps counting and wakes it at each overflow) when there is nothing to do.
 * docs/firmware.md has the circuit and the reasons.
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

#if F_CPU != 16000000UL
#error "Timer1 at F_CPU / 8 gives 0.5 us ticks only at 16 MHz: adjust stamp_to_us for this clock"
#endif

/* Two slots of 512 bytes in the 1 KB of EEPROM: each holds the format's 253 settings. */
#define SLOT_SIZE 0x200u

#define LED_PORT PORTB
#define LED_DDR DDRB
#define LED_SUCCESS _BV(PB5)
#define LED_FAILURE _BV(PB4)

/* ---- Time: Timer1 ticks widened by a count of overflows ---------------------------------- */

/* Overflows of Timer1 since start: 65536 ticks (32.768 ms) each; 32 bits last over four years. */
static volatile uint32_t timer_overflows;

ISR(TIMER1_OVF_vect) { timer_overflows++; }

/* A moment as Timer1 saw it: 32 bits of overflows above the 16 of the counter. */
typedef struct {
  uint32_t overflows;
  uint16_t count;
} timer_stamp;

/* Call with interrupts disabled (in an ISR, or between cli and sei). If the counter has wrapped
 * but the overflow interrupt has not run yet (its flag is still pending), the overflow count is
 * one behind: a small counter value together with the pending flag means the wrap came first. */
static inline timer_stamp timer_now_locked(void) {
  timer_stamp stamp;
  stamp.count = TCNT1;
  stamp.overflows = timer_overflows;
  if ((TIFR1 & _BV(TOV1)) && stamp.count < 0x8000u) stamp.overflows++;
  return stamp;
}

/* Microseconds since start: two ticks a microsecond. */
static int64_t stamp_to_us(timer_stamp stamp) {
  const uint64_t ticks = ((uint64_t)stamp.overflows << 16) | stamp.count;
  return (int64_t)(ticks >> 1);
}

/* ---- Swaps queued by the sensor interrupt ------------------------------------------------- */

/* Swaps are at least tens of milliseconds apart when the link works; the queue only has to cover
 * the main loop being busy (an EEPROM write takes up to about a second) or a burst of noise. */
#define SWAP_QUEUE_SIZE 16u /* a power of two */
static timer_stamp swap_queue[SWAP_QUEUE_SIZE];
static volatile uint8_t swap_head; /* written by the ISR only */
static volatile uint8_t swap_tail; /* written by the main loop only */
/* Set by the ISR when a swap found the queue full and was dropped. */
static volatile bool swap_lost;

ISR(INT0_vect) {
  const timer_stamp stamp = timer_now_locked();
  const uint8_t head = swap_head;
  if ((uint8_t)(head - swap_tail) >= SWAP_QUEUE_SIZE) {
    swap_lost = true;
    return;
  }
  swap_queue[head & (SWAP_QUEUE_SIZE - 1u)] = stamp;
  swap_head = (uint8_t)(head + 1u);
}

static bool swap_queue_empty(void) { return swap_head == swap_tail; }

/* Takes the oldest queued swap; false if none. */
static bool swap_queue_take(timer_stamp* stamp) {
  const uint8_t tail = swap_tail;
  if (swap_head == tail) return false;
  /* The ISR leaves this entry alone until the tail has moved past it. cli and sei are barriers
   * too: the compiler may not move the read of the entry after the tail's update. */
  cli();
  *stamp = swap_queue[tail & (SWAP_QUEUE_SIZE - 1u)];
  sei();
  swap_tail = (uint8_t)(tail + 1u);
  return true;
}

/* ---- Settings in EEPROM (layout in settings_record.h) ------------------------------------- */

/* The settings in force: loaded at start, replaced after each stored packet. A device's own
 * code reads them from here (not static, so that they stay even while nothing here reads them). */
uint8_t settings[SETTINGS_MAX_VALUES];
uint8_t settings_count;
static int8_t settings_slot = -1; /* the slot they came from, -1 if EEPROM holds none */

static uint8_t eeprom_read(uint16_t address, void* context) {
  (void)context;
  return eeprom_read_byte((const uint8_t*)(uintptr_t)address);
}

static void eeprom_put(uint16_t address, uint8_t value) {
  eeprom_update_byte((uint8_t*)(uintptr_t)address, value);
}

static void settings_load(void) {
  settings_slot = (int8_t)settings_current_slot(SLOT_SIZE, eeprom_read, 0);
  settings_count = 0;
  if (settings_slot < 0) return;
  const uint16_t base = SETTINGS_SLOT_BASE(settings_slot, SLOT_SIZE);
  settings_count = eeprom_read_byte((const uint8_t*)(uintptr_t)(base + SETTINGS_OFFSET_COUNT));
  eeprom_read_block(settings, (const void*)(uintptr_t)(base + SETTINGS_OFFSET_VALUES),
                    settings_count);
}

/* Writes the new set into the slot not in use and commits it last (see settings_record.h).
 * The check is worked out from the values received, not from what the EEPROM took, so a worn
 * cell that did not keep its value leaves the record invalid; the slot is read back after the
 * commit, and if it is not valid the old settings stay in force and the result is false. */
static bool settings_store(const uint8_t* values, uint8_t count) {
  const uint8_t slot = settings_slot == 0 ? 1 : 0;
  const uint16_t base = SETTINGS_SLOT_BASE(slot, SLOT_SIZE);
  uint8_t sequence = 1;
  if (settings_slot >= 0)
    sequence =
        (uint8_t)(eeprom_read(
                      SETTINGS_SLOT_BASE(settings_slot, SLOT_SIZE) + SETTINGS_OFFSET_SEQUENCE, 0) +
                  1u);
  uint8_t check = settings_crc8(settings_crc8(0, sequence), count);
  for (uint8_t i = 0; i < count; i++) check = settings_crc8(check, values[i]);

  eeprom_put(base + SETTINGS_OFFSET_MARKER, 0xFFu);
  for (uint8_t i = 0; i < count; i++) eeprom_put(base + SETTINGS_OFFSET_VALUES + i, values[i]);
  eeprom_put(base + SETTINGS_OFFSET_SEQUENCE, sequence);
  eeprom_put(base + SETTINGS_OFFSET_COUNT, count);
  eeprom_put(base + SETTINGS_OFFSET_CHECK, check);
  eeprom_put(base + SETTINGS_OFFSET_MARKER, SETTINGS_COMMITTED);
  if (!settings_slot_valid(slot, SLOT_SIZE, eeprom_read, 0)) return false;

  for (uint8_t i = 0; i < count; i++) settings[i] = values[i];
  settings_count = count;
  settings_slot = (int8_t)slot;
  return true;
}

/* ---- Outcome ------------------------------------------------------------------------------ */

static void show(uint8_t leds) {
  LED_PORT = (uint8_t)((LED_PORT & ~(LED_SUCCESS | LED_FAILURE)) | leds);
}

static orx_receiver rx;

/* Bytes of the packet in progress, counted here from the events: a swap that reports a packet
 * cut off has already begun the next one, so the receiver's own count may have moved on. */
static uint16_t packet_bytes;

/* Acts on what a swap or a poll produced. */
static void handle(orx_event event) {
  if (event == ORX_NONE) return;
  const uint16_t bytes = packet_bytes;
  packet_bytes = event == ORX_BYTE ? (uint16_t)(bytes + 1u) : 0;
  if (event == ORX_BYTE && bytes == 0) {
    show(0); /* a new run: the last run's outcome no longer applies */
  } else if (event == ORX_PACKET) {
    size_t count;
    const uint8_t* values = orx_values(&rx, &count);
    show(settings_store(values, (uint8_t)count) ? LED_SUCCESS : LED_FAILURE);
  } else if (event == ORX_ERR_TRUNCATED && bytes == 0) {
    /* Stray edges with no byte behind them (a hand, the window opening): not a run. */
  } else if (event >= ORX_ERR_INTERVAL) {
    show(LED_FAILURE);
  }
}

int main(void) {
  LED_DDR |= LED_SUCCESS | LED_FAILURE;
  DDRD &= (uint8_t)~_BV(PD2);
  PORTD |= _BV(PD2); /* pull-up: an open-collector comparator output needs one */

  /* Timer1 free-running (normal mode) at F_CPU / 8, overflow interrupt on. */
  TCCR1A = 0;
  TCCR1B = _BV(CS11);
  TIMSK1 = _BV(TOIE1);
  /* INT0 on any logical change: both directions of a swap count. */
  EICRA = _BV(ISC00);
  EIFR = _BV(INTF0);
  EIMSK = _BV(INT0);

  settings_load();
  orx_init(&rx, OPTICAL_ZERO_BIT_US, OPTICAL_ONE_BIT_US, OPTICAL_START_US);
  set_sleep_mode(SLEEP_MODE_IDLE);
  sei();

  int64_t last_us = 0;
  for (;;) {
    timer_stamp stamp;
    while (swap_queue_take(&stamp)) {
      last_us = stamp_to_us(stamp);
      handle(orx_feed_swap(&rx, last_us));
    }
    if (swap_lost) {
      /* Swaps were dropped, so the intervals around them are wrong: feed the last time again,
       * an interval of zero, which the receiver rejects like any bad interval. */
      swap_lost = false;
      handle(orx_feed_swap(&rx, last_us));
    }

    /* Poll with a time taken while no swap is queued, so that no earlier swap can follow it. */
    cli();
    if (swap_queue_empty()) {
      const timer_stamp now = timer_now_locked();
      sei();
      handle(orx_poll(&rx, stamp_to_us(now)));
    }
    sei();

    /* Sleep unless a swap came in meanwhile; sei takes effect after the next instruction, so an
     * interrupt between the test and sleep_cpu still wakes the loop. */
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

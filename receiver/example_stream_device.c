#include "receiver/optical_receiver.h"

void store_value(uint8_t index, uint8_t value); /* your code: into the spare EEPROM slot */
void commit_values(uint8_t count);              /* your code: make that slot the one in force */
void show_error(const char* what);              /* your code: a light, a beep, a log */

static orx_stream rx;

/* Arm once the device is in place, as with the buffered mode. */
void arm(void) { orx_stream_init(&rx, OPTICAL_ZERO_BIT_US, OPTICAL_ONE_BIT_US, OPTICAL_START_US); }

static void handle(orx_event event) {
  /* Byte 0 is the sync byte, 1 the count, 2 .. count + 1 the values, then the checksum. */
  const uint16_t length = orx_stream_length(&rx);
  if (event == ORX_BYTE && length >= 3) {
    store_value((uint8_t)(length - 3), orx_stream_byte(&rx)); /* not checked yet */
  } else if (event == ORX_PACKET) {
    commit_values((uint8_t)(length - 3)); /* the checksum matched */
  } else if (event == ORX_ERR_TRUNCATED && length == 0) {
    /* Stray swaps that never made a byte (a hand, a reflection): not a run, so no error. */
  } else if (event >= ORX_ERR_INTERVAL) {
    show_error(orx_event_name(event)); /* nothing committed; the next run is received normally */
  }
}

/* Called once per swap, in order, with the low 32 bits of a microsecond count (it may wrap). */
void on_swap(uint32_t time_us) { handle(orx_stream_swap(&rx, time_us)); }

/* From the main loop now and then (at least once an hour): reports a run cut short. */
void on_tick(uint32_t now_us) { handle(orx_stream_poll(&rx, now_us)); }

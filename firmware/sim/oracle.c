#include "firmware/sim/oracle.h"

#include <stdlib.h>
#include <string.h>

#include "firmware/sim/part.h"
#include "protocol/optical_protocol.h"
#include "tests/receiver/swaps_file.h"

const char* shown_name(shown s) {
  static const char* const names[] = {"nothing", "success", "failure", "both LEDs"};
  return names[s];
}

const setting_set* stored_set(const expectation* want, int back) {
  if (back >= want->stored || back >= KEPT_SETS) return NULL;
  return &want->sets[(want->stored - 1 - back) % KEPT_SETS];
}

/* What the firmware does with an event (handle() in firmware/avr/main.c), counting the bytes of
 * the packet in progress from the events as it does. */
static void apply(expectation* want, size_t* packet_bytes, orx_receiver* rx, orx_event event) {
  if (event == ORX_NONE) return;
  const size_t bytes = *packet_bytes;
  *packet_bytes = event == ORX_BYTE ? bytes + 1 : 0;
  if (event == ORX_BYTE && bytes == 0) {
    want->leds = SHOWN_NOTHING;
  } else if (event == ORX_PACKET && orx_bytes(rx)[1] > part_capacity()) {
    want->leds = SHOWN_FAILURE; /* more settings than the part's slot holds: refused */
  } else if (event == ORX_PACKET) {
    setting_set* set = &want->sets[want->stored % KEPT_SETS];
    const uint8_t* values = orx_values(rx, &set->count);
    memcpy(set->values, values, set->count);
    want->stored++;
    want->leds = SHOWN_SUCCESS;
  } else if (event == ORX_ERR_TRUNCATED && bytes == 0) {
    /* stray edges */
  } else if (event >= ORX_ERR_INTERVAL) {
    want->leds = SHOWN_FAILURE;
  }
}

void expect(const timeline* line, expectation* want) {
  memset(want, 0, sizeof *want);
  /* The times as the part's clock measures them: a clock 5 % fast reads every interval 5 % long. */
  int64_t* times = malloc((line->count ? line->count : 1) * sizeof *times);
  if (!times) abort();
  for (size_t i = 0; i < line->count; i++) times[i] = line->times[i] * clock_percent() / 100;
  orx_receiver rx;
  orx_init(&rx, OPTICAL_ZERO_BIT_US, OPTICAL_ONE_BIT_US, OPTICAL_START_US);
  size_t packet_bytes = 0;
  for (size_t i = 0; i < line->count; i++)
    apply(want, &packet_bytes, &rx, orx_feed_swap(&rx, times[i]));
  if (line->count > 0)
    apply(want, &packet_bytes, &rx, orx_poll(&rx, times[line->count - 1] + 2 * OPTICAL_ONE_BIT_US));

  /* What a file's `# events:` line states: orx_decode_swaps over the whole timeline. */
  uint8_t values[ORX_MAX_VALUES];
  size_t value_count = 0;
  swaps_replay(times, line->count, want->events, sizeof want->events, values, &value_count);
  free(times);
}

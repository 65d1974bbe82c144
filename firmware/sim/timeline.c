#include "firmware/sim/timeline.h"

#include <stdio.h>
#include <stdlib.h>

#include "protocol/optical_protocol.h"
#include "tests/receiver/transmitter_model.h"

void push(timeline* line, int64_t time_us) {
  if (line->count == line->capacity) {
    line->capacity = line->capacity ? 2 * line->capacity : 1024;
    line->times = realloc(line->times, line->capacity * sizeof *line->times);
    if (!line->times) {
      perror("fwsim");
      exit(2);
    }
  }
  line->times[line->count++] = time_us;
}

/* A small seeded generator (splitmix64), so that a jittered case is the same on every run. */
static uint64_t next_random(uint64_t* state) {
  uint64_t z = (*state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

void add_jitter(timeline* line, int64_t jitter_us, uint64_t seed) {
  if (jitter_us <= 0 || line->count < 2) return;
  uint64_t state = seed;
  int64_t previous_in = line->times[0];
  for (size_t i = 1; i < line->count; i++) {
    const int64_t interval = line->times[i] - previous_in;
    previous_in = line->times[i];
    const int64_t shift =
        (int64_t)(next_random(&state) % (uint64_t)(2 * jitter_us + 1)) - jitter_us;
    int64_t moved = interval + shift;
    if (moved < 1) moved = 1;
    line->times[i] = line->times[i - 1] + moved;
  }
}

int64_t send_bytes(timeline* line, int64_t time_us, const uint8_t* bytes, size_t count) {
  int64_t times[OPTICAL_MAX_PACKET * OPTICAL_SWAPS_PER_BYTE];
  if (count == 0) return time_us;
  const int64_t last = transmitter_swap_times(times, time_us, bytes, count);
  for (size_t i = 0; i < count * OPTICAL_SWAPS_PER_BYTE; i++) push(line, times[i]);
  return last + OPTICAL_START_US;
}

/*
 * Swap timelines for the firmware's simulation: swap times in microseconds from the run start,
 * as the sensor sees them, built up one swap at a time.
 */
#ifndef FWSIM_TIMELINE_H
#define FWSIM_TIMELINE_H

#include <stddef.h>
#include <stdint.h>

#define US_PER_S (1000 * 1000LL)

typedef struct {
  int64_t* times;
  size_t count, capacity;
} timeline;

/* Appends a swap; exits the program if memory runs out. */
void push(timeline* line, int64_t time_us);

/* Moves every interval by a random amount in [-jitter_us, jitter_us], the same on every run for a
 * seed; time never runs back and two swaps never share a microsecond (the sensor could not tell
 * them apart). */
void add_jitter(timeline* line, int64_t jitter_us, uint64_t seed);

/* The transmitter: bytes as swap times, the first swap (a start symbol) at time_us. Returns the
 * time after the last byte's gap. */
int64_t send_bytes(timeline* line, int64_t time_us, const uint8_t* bytes, size_t count);

#endif /* FWSIM_TIMELINE_H */

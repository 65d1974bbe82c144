/*
 * A model of the tool's transmitter, for the tests and tools that make swap timelines on a
 * desktop machine: the packet for a list of values, and the swap times of sending it. The tool's
 * own flash sequencer is held to the same timeline by its tests. Not part of the receiver that
 * firmware copies.
 */
#ifndef TRANSMITTER_MODEL_H
#define TRANSMITTER_MODEL_H

#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include "protocol/optical_protocol.h"

/* Sync, count, values, checksum (count and values modulo 256: the sync byte is not part of it).
 * `out` has room for count + 3 bytes; returns the packet's length. */
static inline size_t transmitter_make_packet(uint8_t* out, const uint8_t* values, size_t count) {
  uint8_t sum = (uint8_t)count;
  out[0] = OPTICAL_SYNC_BYTE;
  out[1] = (uint8_t)count;
  memcpy(out + 2, values, count);
  for (size_t i = 0; i < count; i++) sum = (uint8_t)(sum + values[i]);
  out[2 + count] = sum;
  return count + 3;
}

/* The swap times of `length` bytes, the first byte's start symbol at first_us: per byte the start
 * symbol, bits 0..7 and the end of the byte, OPTICAL_SWAPS_PER_BYTE in all, each byte one gap
 * after the last. `times` has room for length * OPTICAL_SWAPS_PER_BYTE; returns the time of the
 * last swap. */
static inline int64_t transmitter_swap_times(int64_t* times, int64_t first_us, const uint8_t* bytes,
                                             size_t length) {
  int64_t t = first_us, last = first_us;
  size_t n = 0;
  for (size_t i = 0; i < length; i++) {
    times[n++] = t;
    t += OPTICAL_START_US;
    for (int k = 0; k < 8; k++) {
      times[n++] = t;
      t += (bytes[i] >> k) & 1 ? OPTICAL_ONE_BIT_US : OPTICAL_ZERO_BIT_US;
    }
    times[n++] = last = t;
    t += OPTICAL_START_US;
  }
  return last;
}

#endif /* TRANSMITTER_MODEL_H */

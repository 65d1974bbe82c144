/*
 * Reads swap-time files (*.swaps) and replays them through the reference receiver, for the tests
 * and the benchmarks on a desktop machine (stdio, POSIX directory listing). Not part of the
 * receiver that firmware copies.
 *
 * A *.swaps file is plain text: one swap time a line (integer microseconds from the run start,
 * never negative, never decreasing; two swaps may share a microsecond), and comment lines
 * starting with '#'. Two comments mean something:
 *   # events: ERR_TRUNCATED PACKET   the events the receiver reports over the whole file, in
 *                                    order, without NONE and BYTE (required)
 *   # values: 12 34                  the last packet's setting values in hex, present only when
 *                                    the last event is PACKET (and then required)
 */
#ifndef SWAPS_FILE_H
#define SWAPS_FILE_H

#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

#include "receiver/optical_receiver.h"

enum { SWAPS_MAX_TIMES = 65536, SWAPS_MAX_EVENTS_TEXT = 256, SWAPS_MAX_NAME = 256 };

typedef struct swaps_file {
  int64_t times[SWAPS_MAX_TIMES];
  size_t count;
  char events[SWAPS_MAX_EVENTS_TEXT]; /* names separated by single blanks */
  bool has_values;
  uint8_t values[ORX_MAX_VALUES];
  size_t value_count;
} swaps_file;

/* Reads and checks one file. On failure returns false and puts "line N: what" in `error`. */
bool swaps_file_read(const char* path, swaps_file* file, char* error, size_t error_size);

/* What a fresh receiver makes of these swap times when orx_decode_swaps is called repeatedly,
 * each time with the rest of the input: the event names as a `# events:` line gives them, and
 * the values of the last packet (*value_count = 0 and nothing written when there is none). */
void swaps_replay(const int64_t* times, size_t count, char* events, size_t events_size,
                  uint8_t* values, size_t* value_count);

/* The same for the streaming mode (orx_stream): each swap fed in turn at its time plus
 * `clock_offset_us`, taken modulo 2^32 as a device's wrapping clock gives it, then a poll once
 * idle has passed (the end of the input counts as silence). The values are stored as the bytes
 * come and taken only on ORX_PACKET, as a device does. */
void swaps_replay_stream(const int64_t* times, size_t count, uint32_t clock_offset_us, char* events,
                         size_t events_size, uint8_t* values, size_t* value_count);

/* The names of the *.swaps files of `dir`, sorted. Returns how many there are (at most `max`),
 * or -1 if the folder can't be read. */
int swaps_list_dir(const char* dir, char (*names)[SWAPS_MAX_NAME], int max);

#endif /* SWAPS_FILE_H */

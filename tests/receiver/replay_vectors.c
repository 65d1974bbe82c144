/*
 * Replays every *.swaps file of a folder through the reference receiver in both its modes and
 * checks the events and values that each file's `# events:` and `# values:` lines state: the
 * buffered mode through orx_decode_swaps, the streaming mode swap by swap on a 32-bit clock,
 * once from 0 and once wrapping round in the middle of the file. Fed the same swaps one at a
 * time, the two modes must also agree at every swap on the event, the bytes and the length.
 *
 *   replay_vectors DIR
 *
 * Exit status 0 when every file reads and matches; a folder without vectors fails too, so that a
 * wrong path can't pass.
 */
#include <stdio.h>
#include <string.h>

#include "tests/receiver/swaps_file.h"

static void print_values(const char* label, const uint8_t* values, size_t count) {
  printf("  %s:", label);
  for (size_t i = 0; i < count; i++) printf(" %02X", values[i]);
  printf("\n");
}

enum { kMaxFiles = 512 };

/* The first swap at which the buffered and the streaming mode disagree, or -1. */
static long first_disagreement(const swaps_file* file, char* why, size_t why_size) {
  orx_receiver buffered;
  orx_stream stream;
  orx_init(&buffered, OPTICAL_ZERO_BIT_US, OPTICAL_ONE_BIT_US, OPTICAL_START_US);
  orx_stream_init(&stream, OPTICAL_ZERO_BIT_US, OPTICAL_ONE_BIT_US, OPTICAL_START_US);
  for (size_t i = 0; i <= file->count && file->count > 0; i++) {
    /* After the last swap, a poll once idle has passed. */
    const int64_t at =
        i < file->count ? file->times[i] : file->times[file->count - 1] + 2 * OPTICAL_ONE_BIT_US;
    const orx_event want = i < file->count ? orx_feed_swap(&buffered, at) : orx_poll(&buffered, at);
    const orx_event got = i < file->count ? orx_stream_swap(&stream, (uint32_t)at)
                                          : orx_stream_poll(&stream, (uint32_t)at);
    const size_t length = orx_length(&buffered);
    const bool byte_came = want == ORX_BYTE || want == ORX_PACKET || want == ORX_ERR_SYNC ||
                           want == ORX_ERR_LENGTH || want == ORX_ERR_CHECKSUM;
    if (got != want || orx_stream_length(&stream) != length ||
        (byte_came && orx_stream_byte(&stream) != orx_bytes(&buffered)[length - 1])) {
      snprintf(why, why_size, "buffered %s (length %zu), streaming %s (length %u, byte %02X)",
               orx_event_name(want), length, orx_event_name(got),
               (unsigned)orx_stream_length(&stream), orx_stream_byte(&stream));
      return (long)i;
    }
  }
  return -1;
}

/* True if `events` and `values` are what the file states; prints what differs otherwise. */
static bool matches(const char* mode, const swaps_file* file, const char* events,
                    const uint8_t* values, size_t value_count) {
  const bool events_match = strcmp(events, file->events) == 0;
  const bool values_match =
      value_count == file->value_count && memcmp(values, file->values, value_count) == 0;
  if (events_match && values_match) return true;
  printf("  %s mode\n  events wanted: %s\n  events got:    %s\n", mode, file->events, events);
  if (!values_match) {
    print_values("values wanted", file->values, file->value_count);
    print_values("values got   ", values, value_count);
  }
  return false;
}

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: %s DIR\n", argv[0]);
    return 2;
  }
  static char names[kMaxFiles][SWAPS_MAX_NAME];
  const int count = swaps_list_dir(argv[1], names, kMaxFiles);
  if (count <= 0) {
    printf("FAIL %s: %s\n", argv[1], count < 0 ? "cannot read the folder" : "no *.swaps files");
    return 1;
  }
  static swaps_file file;
  int failures = 0;
  for (int i = 0; i < count; i++) {
    char path[4096], error[256] = "path too long";
    if (snprintf(path, sizeof path, "%s/%s", argv[1], names[i]) >= (int)sizeof path ||
        !swaps_file_read(path, &file, error, sizeof error)) {
      printf("FAIL %s: %s\n", names[i], error);
      failures++;
      continue;
    }
    char events[SWAPS_MAX_EVENTS_TEXT];
    uint8_t values[ORX_MAX_VALUES];
    size_t value_count = 0;
    swaps_replay(file.times, file.count, events, sizeof events, values, &value_count);
    bool ok = matches("buffered", &file, events, values, value_count);
    /* From 0, and with the 32-bit clock wrapping round at the middle swap. */
    const uint32_t offsets[] = {
        0,
        file.count ? (uint32_t)(UINT64_C(0x100000000) - (uint64_t)file.times[file.count / 2]) : 0};
    for (size_t o = 0; o < sizeof offsets / sizeof offsets[0]; o++) {
      swaps_replay_stream(file.times, file.count, offsets[o], events, sizeof events, values,
                          &value_count);
      ok = matches(o ? "streaming, clock wrapping" : "streaming", &file, events, values,
                   value_count) &&
           ok;
    }
    char why[160];
    const long at = first_disagreement(&file, why, sizeof why);
    if (at >= 0) printf("  the modes disagree at swap %ld: %s\n", at, why);
    ok = ok && at < 0;
    printf("%s %s: %zu swaps, %s\n", ok ? "ok  " : "FAIL", names[i], file.count, file.events);
    if (!ok) failures++;
  }
  printf("%d file(s), %d failure(s)\n", count, failures);
  return failures ? 1 : 0;
}

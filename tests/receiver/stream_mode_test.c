/*
 * What the streaming mode does differently from the buffered one: 32-bit times that wrap round,
 * a step back read as a silence, and durations refused by their own 32-bit rules. That both
 * modes decode alike is checked on every vector by replay_vectors and by the receiver's fuzz
 * target.
 */
#include <stdio.h>
#include <string.h>

#include "receiver/optical_receiver.h"
#include "tests/receiver/check.h"
#include "tests/receiver/transmitter_model.h"

enum { ZERO_US = OPTICAL_ZERO_BIT_US, ONE_US = OPTICAL_ONE_BIT_US, START_US = OPTICAL_START_US };

/* A packet of two values sent with its first swap at `first_us` on a 32-bit clock: every place
 * of the run may straddle the wrap, and the values still come out, byte by byte. */
static void test_wrap_anywhere(void) {
  const uint8_t values[] = {0x12, 0x34};
  uint8_t packet[8];
  const size_t length = transmitter_make_packet(packet, values, 2);
  int64_t times[64];
  transmitter_swap_times(times, 0, packet, length);
  const size_t swaps = length * OPTICAL_SWAPS_PER_BYTE;
  for (size_t wrap_at = 0; wrap_at < swaps; wrap_at++) {
    g_cases++;
    /* The clock wraps 1 us before swap wrap_at. */
    const uint32_t offset = (uint32_t)(UINT64_C(0x100000000) - (uint64_t)times[wrap_at] + 1u);
    orx_stream rx;
    CHECK(orx_stream_init(&rx, ZERO_US, ONE_US, START_US), "init");
    uint8_t got[8] = {0};
    orx_event event = ORX_NONE;
    for (size_t i = 0; i < swaps; i++) {
      event = orx_stream_swap(&rx, (uint32_t)times[i] + offset);
      if (event == ORX_BYTE || event == ORX_PACKET)
        got[orx_stream_length(&rx) - 1] = orx_stream_byte(&rx);
    }
    CHECK(event == ORX_PACKET && memcmp(got, packet, length) == 0,
          "wrap before swap %zu: %s, bytes %02X %02X %02X %02X %02X", wrap_at,
          orx_event_name(event), got[0], got[1], got[2], got[3], got[4]);
  }
}

/* A time earlier than the last swap is, modulo 2^32, a silence of over an hour: it ends the
 * packet in progress like any idle silence (the buffered mode calls it a bad interval). A poll
 * sees the same, and one that wraps round to just after the last swap does not. */
static void test_step_back(void) {
  static const struct {
    const char* name;
    uint32_t second;
    bool by_poll;
    orx_event event;
  } cases[] = {
      {"swap 1 us back", 999999u, false, ORX_ERR_TRUNCATED},
      {"swap a wrap on, less idle: 71 min", 1000000u - 2u * ONE_US, false, ORX_ERR_TRUNCATED},
      {"swap a zero bit on, or a whole wrap more", 1000000u + ZERO_US, false, ORX_NONE},
      {"poll 1 us back", 999999u, true, ORX_ERR_TRUNCATED},
      {"poll just short of idle", 1000000u + 2u * ONE_US - 1u, true, ORX_NONE},
  };
  for (size_t c = 0; c < sizeof cases / sizeof cases[0]; c++) {
    g_cases++;
    orx_stream rx;
    orx_stream_init(&rx, ZERO_US, ONE_US, START_US);
    orx_stream_swap(&rx, 1000000u);
    const orx_event event = cases[c].by_poll ? orx_stream_poll(&rx, cases[c].second)
                                             : orx_stream_swap(&rx, cases[c].second);
    CHECK(event == cases[c].event, "%s: %s", cases[c].name, orx_event_name(event));
  }
}

/* The buffered mode's rules in 32 bits, and the top of the range refused. */
static void test_init(void) {
  static const struct {
    uint32_t zero, one, start;
    bool ok;
  } cases[] = {
      {ZERO_US, ONE_US, START_US, true},
      {ZERO_US, ONE_US, 25000, true},
      {ZERO_US, ONE_US, 24999, false},
      {ZERO_US, ONE_US, 74999, true},
      {ZERO_US, ONE_US, 75000, false},
      {ONE_US, ZERO_US, ZERO_US, false},
      {50, 52, 50, true},
      {50, 51, 50, false},
      {0, 100, 10, false},
      {1, 5, 1, true}, /* window floor held at 1 us */
      {1, UINT32_MAX / 4, 1, true},
      {1, UINT32_MAX / 4 + 1, 1, false},
      {1, UINT32_MAX, 1, false},
  };
  for (size_t c = 0; c < sizeof cases / sizeof cases[0]; c++) {
    g_cases++;
    orx_stream rx;
    const bool ok = orx_stream_init(&rx, cases[c].zero, cases[c].one, cases[c].start);
    CHECK(ok == cases[c].ok, "init(%lu, %lu, %lu)", (unsigned long)cases[c].zero,
          (unsigned long)cases[c].one, (unsigned long)cases[c].start);
    if (!ok)
      CHECK(orx_stream_swap(&rx, 0) == ORX_NONE && orx_stream_swap(&rx, 50) == ORX_NONE &&
                orx_stream_poll(&rx, 1000000000u) == ORX_NONE,
            "failed init must ignore input");
  }
}

int main(void) {
  test_wrap_anywhere();
  test_step_back();
  test_init();
  return check_summary();
}

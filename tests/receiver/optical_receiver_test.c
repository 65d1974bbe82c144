/* Tests for the reference receiver. Swap times come from a small model of the transmitter. */
#include "receiver/optical_receiver.h"

#include <stdio.h>
#include <string.h>

#include "tests/receiver/check.h"
#include "tests/receiver/transmitter_model.h"

enum {
  ZERO_US = OPTICAL_ZERO_BIT_US,
  ONE_US = OPTICAL_ONE_BIT_US,
  START_US = OPTICAL_START_US,
  IDLE_US = 2 * ONE_US,
  MARGIN_US = (ONE_US - ZERO_US) / 2, /* either side of the threshold between short and long */
};

/* Swap times of a run; `now` is the time of the last swap (or the run start). */
typedef struct {
  int64_t t[4096];
  size_t n;
  int64_t now;
} run;

/* Pause of one start duration, then per byte: start symbol, bits 0..7, end of byte, gap. */
static void transmit(run* r, const uint8_t* bytes, size_t len) {
  if (len == 0) return;
  r->now = transmitter_swap_times(r->t + r->n, r->now + START_US, bytes, len);
  r->n += len * OPTICAL_SWAPS_PER_BYTE;
}

static orx_receiver new_receiver(void) {
  orx_receiver rx;
  CHECK(orx_init(&rx, ZERO_US, ONE_US, START_US), "init");
  return rx;
}

static void test_worked_timeline(void) {
  static const int64_t first_byte_ms[] = {50, 100, 200, 250, 350, 400, 500, 550, 650, 700};
  const uint8_t packet[] = {OPTICAL_SYNC_BYTE, 0x00, 0x00};
  run r = {0};
  transmit(&r, packet, 3);
  g_cases++;
  CHECK(r.n == 30 && r.t[29] == 1700000, "n=%zu last=%lld", r.n, (long long)r.t[r.n - 1]);
  orx_receiver rx = new_receiver();
  for (size_t i = 0; i < 10; i++) {
    CHECK(r.t[i] == first_byte_ms[i] * 1000, "swap %zu", i);
    orx_event ev = orx_feed_swap(&rx, first_byte_ms[i] * 1000);
    CHECK(ev == (i == 9 ? ORX_BYTE : ORX_NONE), "swap %zu gave %s", i, orx_event_name(ev));
  }
  CHECK(orx_length(&rx) == 1 && orx_bytes(&rx)[0] == OPTICAL_SYNC_BYTE, "first byte");
}

static uint32_t g_seed = 12345;
static int64_t jitter(int64_t amplitude) {
  g_seed = g_seed * 1664525u + 1013904223u;
  return amplitude == 0 ? 0 : (int64_t)((g_seed >> 8) % (uint32_t)(2 * amplitude + 1)) - amplitude;
}

static void test_round_trip(void) {
  static const struct {
    const char* name;
    size_t count;
    uint8_t values[3];
  } packets[] = {
      {"no settings", 0, {0}},
      {"one setting", 1, {0x2A}},
      {"two settings", 2, {0x12, 0x34}},
      {"bit 0 only", 1, {0x01}},
      {"bit 7 only", 1, {0x80}},
      {"all ones", 2, {0xFF, 0xFF}},
      {"all zeros", 3, {0, 0, 0}},
      {"checksum wraps", 3, {0xFF, 0x80, 0x7F}},
      {"253 values", ORX_MAX_VALUES, {0}},
  };
  /* Per-swap jitter; an interval moves by up to twice this, still inside the 25 ms margin. */
  static const int64_t jitters_us[] = {0, 3000, 8000, 12000};
  for (size_t p = 0; p < sizeof packets / sizeof packets[0]; p++) {
    uint8_t values[ORX_MAX_VALUES], bytes[ORX_MAX_PACKET];
    for (size_t i = 0; i < packets[p].count; i++)
      values[i] = packets[p].count > 3 ? (uint8_t)(i * 37 + 11) : packets[p].values[i];
    const size_t len = transmitter_make_packet(bytes, values, packets[p].count);
    for (size_t j = 0; j < sizeof jitters_us / sizeof jitters_us[0]; j++) {
      g_cases++;
      run r = {0};
      transmit(&r, bytes, len);
      for (size_t i = 0; i < r.n; i++) r.t[i] += jitter(jitters_us[j]);
      orx_receiver rx = new_receiver();
      size_t count = 0;
      for (size_t i = 0; i < r.n; i++) {
        orx_event ev = orx_feed_swap(&rx, r.t[i]);
        const orx_event want = i + 1 == r.n ? ORX_PACKET : (i % 10 == 9 ? ORX_BYTE : ORX_NONE);
        if (ev != want) {
          CHECK(ev == want, "%s jitter %lld swap %zu: %s", packets[p].name,
                (long long)jitters_us[j], i, orx_event_name(ev));
          break;
        }
      }
      const uint8_t* got = orx_values(&rx, &count);
      CHECK(orx_length(&rx) == len, "%s length", packets[p].name);
      CHECK(got && count == packets[p].count && memcmp(got, values, count) == 0, "%s values",
            packets[p].name);
    }
  }
}

static void test_faults(void) {
  /* Packet 55 02 12 34 48. Swap 10*b+s is swap s of byte b; the interval ending at swap s is the
   * gap (s=0), the start symbol (s=1) or data bit s-2. Byte 2 = 0x12: bit 0 is 0, bit 1 is 1. */
  static const struct {
    const char* name;
    int swap;         /* set the interval ending at this swap, -1 for none */
    int64_t interval; /* new interval, us */
    int byte, value;  /* replace this packet byte before sending, -1 for none */
    size_t drop;      /* swaps removed from the end */
    orx_event want;
    size_t at; /* swaps consumed when reported */
  } cases[] = {
      {"bit just below threshold", 22, 74999, -1, 0, 0, ORX_PACKET, 50},
      {"bit at threshold reads 1", 22, 75000, -1, 0, 0, ORX_ERR_CHECKSUM, 50},
      {"bit at window floor", 22, 25000, -1, 0, 0, ORX_PACKET, 50},
      {"bit below window", 22, 24999, -1, 0, 0, ORX_ERR_INTERVAL, 23},
      {"time going backwards", 22, -1000, -1, 0, 0, ORX_ERR_INTERVAL, 23},
      {"bit at window ceiling", 23, 125000, -1, 0, 0, ORX_PACKET, 50},
      {"bit above window", 23, 125001, -1, 0, 0, ORX_ERR_INTERVAL, 24},
      {"pause just short of idle", 23, IDLE_US - 1, -1, 0, 0, ORX_ERR_INTERVAL, 24},
      {"idle mid-packet", 23, IDLE_US, -1, 0, 0, ORX_ERR_TRUNCATED, 24},
      {"first start symbol near threshold", 1, 74999, -1, 0, 0, ORX_PACKET, 50},
      {"start symbol reads long", 11, 75000, -1, 0, 0, ORX_ERR_FRAMING, 12},
      {"gap reads long", 30, 75000, -1, 0, 0, ORX_ERR_FRAMING, 31},
      {"wrong sync", -1, 0, 0, 0x54, 0, ORX_ERR_SYNC, 10},
      {"count above maximum", -1, 0, 1, 254, 0, ORX_ERR_LENGTH, 20},
      {"count too small", -1, 0, 1, 1, 0, ORX_ERR_CHECKSUM, 40},
      {"count too large", -1, 0, 1, 3, 0, ORX_ERR_TRUNCATED, 50},
      {"wrong checksum", -1, 0, 4, 0x49, 0, ORX_ERR_CHECKSUM, 50},
      {"last swap missing", -1, 0, -1, 0, 1, ORX_ERR_TRUNCATED, 49},
  };
  const uint8_t values[] = {0x12, 0x34};
  for (size_t c = 0; c < sizeof cases / sizeof cases[0]; c++) {
    g_cases++;
    uint8_t bytes[5];
    transmitter_make_packet(bytes, values, 2);
    if (cases[c].byte >= 0) bytes[cases[c].byte] = (uint8_t)cases[c].value;
    run r = {0};
    transmit(&r, bytes, 5);
    if (cases[c].swap >= 0) {
      const size_t s = (size_t)cases[c].swap;
      const int64_t delta = cases[c].interval - (r.t[s] - r.t[s - 1]);
      for (size_t i = s; i < r.n; i++) r.t[i] += delta;
    }
    orx_receiver rx = new_receiver();
    size_t used = 0;
    const orx_event ev = orx_decode_swaps(&rx, r.t, r.n - cases[c].drop, &used);
    CHECK(ev == cases[c].want && used == cases[c].at, "%s: %s after %zu swaps", cases[c].name,
          orx_event_name(ev), used);
  }
}

/* Runs of several segments fed through orx_decode_swaps; checks the events reported. */
static void test_sequences(void) {
  typedef struct {
    int64_t pause;     /* silence before the segment's start pause */
    int sync;          /* sync byte to send, 0 for the protocol's */
    size_t skip, keep; /* drop the first `skip` swaps; keep only `keep` (0 = all) */
    size_t noise;      /* instead of a packet, this many swaps 10 ms apart */
  } segment;
  static const struct {
    const char* name;
    segment seg[2];
    const char* want;
  } cases[] = {
      {"idle between packets", {{0}, {.pause = IDLE_US - START_US}}, "PACKET PACKET"},
      {"pause shorter than idle", {{0}, {.pause = IDLE_US - START_US - 1}}, "PACKET"},
      {"resync after bad sync", {{.sync = 0x5A}, {.pause = IDLE_US}}, "ERR_SYNC PACKET"},
      {"bad sync needs idle", {{.sync = 0x5A}, {.pause = IDLE_US / 2}}, "ERR_SYNC"},
      {"resync after noise", {{.noise = 4}, {.pause = IDLE_US}}, "ERR_INTERVAL PACKET"},
      {"cut short then idle", {{.keep = 15}, {.pause = IDLE_US}}, "ERR_TRUNCATED PACKET"},
      {"joined mid-packet", {{.skip = 12}, {.pause = IDLE_US}}, "ERR_FRAMING PACKET"},
  };
  const uint8_t values[] = {0x07, 0xA5};
  for (size_t c = 0; c < sizeof cases / sizeof cases[0]; c++) {
    g_cases++;
    run r = {0};
    for (size_t s = 0; s < 2; s++) {
      const segment* seg = &cases[c].seg[s];
      if (s > 0 && seg->pause == 0) break;
      r.now += seg->pause;
      const size_t first = r.n;
      if (seg->noise) {
        for (size_t i = 0; i < seg->noise; i++) r.t[r.n++] = r.now += 10000;
        continue;
      }
      uint8_t bytes[5];
      transmitter_make_packet(bytes, values, 2);
      if (seg->sync) bytes[0] = (uint8_t)seg->sync;
      transmit(&r, bytes, 5);
      if (seg->keep) r.n = first + seg->keep;
      memmove(r.t + first, r.t + first + seg->skip, (r.n - first - seg->skip) * sizeof r.t[0]);
      r.n -= seg->skip;
      r.now = r.t[r.n - 1];
    }
    orx_receiver rx = new_receiver();
    char got[128] = "";
    for (size_t pos = 0, used = 0; pos < r.n; pos += used) {
      const orx_event ev = orx_decode_swaps(&rx, r.t + pos, r.n - pos, &used);
      if (ev == ORX_NONE) continue;
      if (got[0]) strcat(got, " ");
      strcat(got, orx_event_name(ev));
      size_t count = 0;
      const uint8_t* v = orx_values(&rx, &count);
      if (ev == ORX_PACKET) CHECK(count == 2 && memcmp(v, values, 2) == 0, "%s", cases[c].name);
    }
    CHECK(strcmp(got, cases[c].want) == 0, "%s: got \"%s\"", cases[c].name, got);
  }
}

static void test_poll(void) {
  g_cases++;
  const uint8_t bytes[] = {OPTICAL_SYNC_BYTE, 0x00, 0x00};
  run r = {0};
  transmit(&r, bytes, 3);
  orx_receiver rx = new_receiver();
  for (size_t i = 0; i < 15; i++) orx_feed_swap(&rx, r.t[i]);
  CHECK(orx_poll(&rx, r.t[14] + IDLE_US - 1) == ORX_NONE, "poll before idle");
  CHECK(orx_poll(&rx, r.t[14] + IDLE_US) == ORX_ERR_TRUNCATED, "poll at idle");
  CHECK(orx_poll(&rx, r.t[14] + 2 * IDLE_US) == ORX_NONE, "truncation reported once");
  const int64_t later = r.t[14] + IDLE_US;
  for (size_t i = 0; i < r.n; i++) r.t[i] += later;
  CHECK(orx_decode_swaps(&rx, r.t, r.n, NULL) == ORX_PACKET, "packet after poll");
}

/* A truncation leaves the bytes of the packet cut short readable until the next call, however
 * it is reported: a device tells stray swaps (no byte) from a run cut short by orx_length(). */
static void test_truncated_length(void) {
  enum { BY_NEXT_SWAP, BY_POLL, BY_END_OF_RECORDING };
  static const struct {
    const char* name;
    size_t keep; /* swaps of the packet 55 00 00 that came */
    int how;
    size_t length; /* orx_length() right after ORX_ERR_TRUNCATED */
  } cases[] = {
      {"two stray swaps, then a run", 2, BY_NEXT_SWAP, 0},
      {"one byte, then a run", 15, BY_NEXT_SWAP, 1},
      {"two bytes, then a run", 29, BY_NEXT_SWAP, 2},
      {"one stray swap, polled", 1, BY_POLL, 0},
      {"two bytes, polled", 25, BY_POLL, 2},
      {"two stray swaps, recording ends", 2, BY_END_OF_RECORDING, 0},
      {"one byte, recording ends", 19, BY_END_OF_RECORDING, 1},
  };
  const uint8_t bytes[] = {OPTICAL_SYNC_BYTE, 0x00, 0x00};
  for (size_t c = 0; c < sizeof cases / sizeof cases[0]; c++) {
    g_cases++;
    run r = {0};
    transmit(&r, bytes, 3);
    const int64_t after = r.t[cases[c].keep - 1] + IDLE_US;
    orx_receiver rx = new_receiver();
    orx_event ev = ORX_NONE;
    if (cases[c].how == BY_END_OF_RECORDING) {
      ev = orx_decode_swaps(&rx, r.t, cases[c].keep, NULL);
    } else {
      for (size_t i = 0; i < cases[c].keep; i++) orx_feed_swap(&rx, r.t[i]);
      ev = cases[c].how == BY_POLL ? orx_poll(&rx, after) : orx_feed_swap(&rx, after);
    }
    CHECK(ev == ORX_ERR_TRUNCATED && orx_length(&rx) == cases[c].length, "%s: %s, length %zu",
          cases[c].name, orx_event_name(ev), orx_length(&rx));
    CHECK(memcmp(orx_bytes(&rx), bytes, orx_length(&rx)) == 0, "%s: bytes", cases[c].name);
    /* The next swap belongs to a new packet, which has no byte yet. */
    orx_feed_swap(&rx, after + START_US);
    CHECK(orx_length(&rx) == 0, "%s: length %zu after the next swap", cases[c].name,
          orx_length(&rx));
  }
}

/* The last row: durations far apart are refused without overflowing. */
static void test_init(void) {
  static const struct {
    int64_t zero, one, start;
    bool ok;
  } cases[] = {
      {ZERO_US, ONE_US, START_US, true},
      {ZERO_US, ONE_US, ZERO_US - MARGIN_US, true},
      {ZERO_US, ONE_US, ZERO_US - MARGIN_US - 1, false},
      {ZERO_US, ONE_US, ZERO_US + MARGIN_US - 1, true},
      {ZERO_US, ONE_US, ZERO_US + MARGIN_US, false},
      {ONE_US, ZERO_US, ZERO_US, false},
      {50, 52, 50, true},
      {50, 51, 50, false},
      {0, 100, 10, false},
      {1, INT64_MIN, 0, false},
      {INT64_MAX, 1, 1, false},
      {1, INT64_MAX, 1, false},
  };
  for (size_t c = 0; c < sizeof cases / sizeof cases[0]; c++) {
    g_cases++;
    orx_receiver rx;
    const bool ok = orx_init(&rx, cases[c].zero, cases[c].one, cases[c].start);
    CHECK(ok == cases[c].ok, "init(%lld, %lld, %lld)", (long long)cases[c].zero,
          (long long)cases[c].one, (long long)cases[c].start);
    /* A receiver that failed to initialise must stay silent. */
    if (!ok)
      CHECK(orx_feed_swap(&rx, 0) == ORX_NONE && orx_poll(&rx, 1000000000) == ORX_NONE,
            "failed init must ignore input");
  }
}

/* Times at the ends of the 64-bit range: no difference of two of them may overflow; a step back
 * is a bad interval and a step beyond the range a silence, however far apart the times are. */
static void test_extreme_times(void) {
  static const struct {
    int64_t first, second;
    orx_event event; /* of the second swap */
  } cases[] = {
      {INT64_MIN, INT64_MAX, ORX_ERR_TRUNCATED},  {INT64_MAX, INT64_MIN, ORX_ERR_INTERVAL},
      {-1, INT64_MAX, ORX_ERR_TRUNCATED},         {1, INT64_MIN, ORX_ERR_INTERVAL},
      {INT64_MIN, INT64_MIN + ZERO_US, ORX_NONE}, {INT64_MAX - ZERO_US, INT64_MAX, ORX_NONE},
  };
  for (size_t c = 0; c < sizeof cases / sizeof cases[0]; c++) {
    g_cases++;
    orx_receiver rx = new_receiver();
    CHECK(orx_feed_swap(&rx, cases[c].first) == ORX_NONE, "case %zu: first swap", c);
    const orx_event event = orx_feed_swap(&rx, cases[c].second);
    CHECK(event == cases[c].event, "case %zu gave %s", c, orx_event_name(event));
  }
  g_cases++;
  orx_receiver rx = new_receiver();
  orx_feed_swap(&rx, INT64_MIN);
  CHECK(orx_poll(&rx, INT64_MAX) == ORX_ERR_TRUNCATED, "poll across the whole range");
  orx_feed_swap(&rx, INT64_MAX);
  CHECK(orx_poll(&rx, INT64_MIN) == ORX_NONE, "poll before the last swap");
}

int main(void) {
  test_worked_timeline();
  test_round_trip();
  test_faults();
  test_sequences();
  test_poll();
  test_truncated_length();
  test_init();
  test_extreme_times();
  return check_summary();
}

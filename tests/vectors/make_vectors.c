/*
 * Writes the swap-time test vectors of this folder (tests/vectors/README.md lists them), or checks
 * that the files there are what it would write.
 *
 *   make_vectors DIR           write every vector into DIR
 *   make_vectors --check DIR   compare DIR's vectors with what would be written; exit 1 if any
 *                              differs or is missing (other files in DIR are left alone)
 *
 * Each vector models the tool's transmitter: the run starts with one start duration of still
 * panels, then every byte is ten swaps (start symbol, bits 0..7, end of byte) and a gap. Times are
 * integer microseconds from the run start, so the tool's ideal run has its first swap at one start
 * duration. The events a vector expects are stated here, from what it was made to show, not taken
 * from the receiver: the receiver's replay test checks them against it.
 */
#include <stdarg.h>
#include <stdbool.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "protocol/optical_protocol.h"
#include "tests/receiver/transmitter_model.h"

enum { kMaxSwaps = 4096, kMaxText = 1 << 16 };

static const int64_t kStartUs = OPTICAL_START_US;
/* A silence that is surely idle: the receiver's idle is twice the one-bit duration. */
static const int64_t kSilenceUs = 1000000;

typedef struct {
  int64_t t[kMaxSwaps];
  size_t n;
  int64_t now; /* time of the last swap, or where the next run's start pause begins */
} run;

/* One run as the tool sends it: start pause, then per byte start symbol, bits, end of byte. */
static void transmit(run* r, const uint8_t* bytes, size_t length) {
  if (length == 0) return;
  r->now = transmitter_swap_times(r->t + r->n, r->now + kStartUs, bytes, length);
  r->n += length * OPTICAL_SWAPS_PER_BYTE;
}

/* Makes the interval that ends at swap `index` last `interval_us`; later swaps move with it. */
static void set_interval(run* r, size_t index, int64_t interval_us) {
  const int64_t delta = interval_us - (r->t[index] - r->t[index - 1]);
  for (size_t i = index; i < r->n; i++) r->t[i] += delta;
  r->now += delta;
}

/* Inserts a swap at time_us, keeping the list in order. */
static void insert_swap(run* r, int64_t time_us) {
  size_t i = r->n;
  while (i > 0 && r->t[i - 1] > time_us) {
    r->t[i] = r->t[i - 1];
    i--;
  }
  r->t[i] = time_us;
  r->n++;
}

/* A fixed sequence of pseudo-random numbers in [0, bound), so that the files come out the same. */
static uint32_t next_random(uint32_t bound) {
  static uint32_t state = 2026;
  state = state * 1664525u + 1013904223u;
  return (state >> 8) % bound;
}

/* Each swap reaches the screen up to late_us after it was due, and shows at the next refresh of a
 * display of `hz` whose first refresh is at phase_us. */
static void show_on_display(run* r, int64_t late_us, int hz, int64_t phase_us) {
  for (size_t i = 0; i < r->n; i++) {
    r->t[i] += next_random((uint32_t)late_us + 1);
    /* Refresh k is at phase + k * 1e6 / hz, rounded down to a whole microsecond. */
    const int64_t k = ((r->t[i] - phase_us) * hz + 999999) / 1000000;
    r->t[i] = phase_us + k * 1000000 / hz;
  }
}

typedef struct {
  const char* name;
  char text[kMaxText];
  size_t length;
} vector_file;

static void append(vector_file* f, const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int written = vsnprintf(f->text + f->length, sizeof f->text - f->length, format, args);
  va_end(args);
  if (written < 0 || (size_t)written >= sizeof f->text - f->length) {
    fprintf(stderr, "make_vectors: %s is too long\n", f->name);
    exit(2);
  }
  f->length += (size_t)written;
}

static void append_hex(vector_file* f, const char* label, const uint8_t* bytes, size_t count) {
  append(f, "%s", label);
  for (size_t i = 0; i < count; i++) append(f, " %02X", bytes[i]);
  append(f, "\n");
}

/* The file's text: the description (one comment line per '\n'-separated line), the bytes sent,
 * the expected events and, when the last one is PACKET, the values of that packet. */
static void compose(vector_file* f, const char* description, const uint8_t* sent, size_t sent_count,
                    const char* events, const uint8_t* values, size_t value_count, const run* r) {
  f->length = 0;
  for (const char* line = description; *line;) {
    const char* end = strchr(line, '\n');
    const size_t n = end ? (size_t)(end - line) : strlen(line);
    append(f, "# %.*s\n", (int)n, line);
    line += n + (end ? 1 : 0);
  }
  if (sent) append_hex(f, "# bytes sent:", sent, sent_count);
  append(f, "# events: %s\n", events);
  if (values) append_hex(f, "# values:", values, value_count);
  for (size_t i = 0; i < r->n; i++) append(f, "%lld\n", (long long)r->t[i]);
}

static int g_problems;

static void emit(const vector_file* f, const char* dir, int check) {
  char path[4096];
  if (snprintf(path, sizeof path, "%s/%s", dir, f->name) >= (int)sizeof path) {
    fprintf(stderr, "make_vectors: %s: path too long\n", dir);
    exit(2);
  }
  if (!check) {
    FILE* out = fopen(path, "wb");
    if (!out || fwrite(f->text, 1, f->length, out) != f->length || fclose(out) != 0) {
      fprintf(stderr, "make_vectors: cannot write %s\n", path);
      exit(2);
    }
    return;
  }
  static char existing[kMaxText + 1];
  FILE* in = fopen(path, "rb");
  size_t n = in ? fread(existing, 1, sizeof existing, in) : 0;
  if (in) fclose(in);
  if (!in || n != f->length || memcmp(existing, f->text, n) != 0) {
    printf("%s: %s\n", path, in ? "differs from what make_vectors writes" : "missing");
    g_problems++;
  }
}

/* What is done to a run as the tool would send it, before or after transmitting it. */
typedef enum {
  AS_SENT,         /* ideal timing */
  ON_60HZ,         /* each swap up to 8 ms late, shown at the next refresh of a 60 Hz display */
  STRAY_BEFORE,    /* two stray swaps 40 ms apart, then a silence, then the run */
  RUN_BEFORE,      /* a run of the first `at` values, a silence, then the run of the others */
  CUT_THEN_RETRY,  /* the run cut after `at` swaps, a silence, then the whole run again */
  INTERVAL,        /* the interval that ends at swap `at` lasts `us` */
  WRONG_SYNC,      /* the first byte is one below the sync byte */
  COUNT_TOO_LARGE, /* the count byte says one more setting than fit; the checksum agrees */
  WRONG_CHECKSUM,  /* the checksum byte is one more than the sum */
  CUT,             /* the run stops after `at` swaps */
  CANCEL,          /* cut after `at` swaps; the colours put back once the panels held still */
  NOISE_PULSE,     /* a 2 ms pulse `us` after swap `at` */
} change;

typedef struct {
  const char* name;
  change change;
  size_t at;
  int64_t us;
  uint8_t values[8];
  int count; /* settings in `values`; -1: the largest packet, setting i has the value i * 37 + 11 */
  const char* events;      /* as stated, from what the file was made to show */
  const char* description; /* one comment line per '\n'-separated line */
} vector_case;

/* The tool puts the colours back after a cancel only once the panels have held still for twice
 * the one-bit duration plus one start duration, when the cancel left them swapped. */
#define RESTORE_AFTER_US (2 * OPTICAL_ONE_BIT_US + OPTICAL_START_US)
#define TWO 0x12, 0x34

/* Good runs, then runs the receiver rejects; most send the two settings 0x12 and 0x34. Swap 23
 * ends bit 1 of the third byte, swap 11 the start symbol of the count byte; 25 swaps are two whole
 * bytes and five swaps of the third; swap 22 begins bit 1 (100 ms) of the third byte. */
/* clang-format off */
static const vector_case kCases[] = {
  {"good-no-settings.swaps", AS_SENT, 0, 0, {0}, 0, "PACKET",
   "A packet without settings, ideal timing."},
  {"good-two-settings.swaps", AS_SENT, 0, 0, {TWO}, 2, "PACKET",
   "Two settings, 0x12 and 0x34, ideal timing."},
  {"good-typed-values.swaps", AS_SENT, 0, 0, {0x00, 0xFF, 0x2C, 0xFF, 0x9F}, 5, "PACKET",
   "What the boxes 0, 255, 300, -1 and 99999 send: the low 8 bits of each number.\n"
   "Ideal timing."},
  {"good-program-device.swaps", AS_SENT, 0, 0, {0x0C, 0x2C, 0xFF, 0x00, 0xFF, 0x00}, 6, "PACKET",
   "The end-to-end test's form: boxes 12, 300, -1, 0, 255 and an empty one.\n"
   "Ideal timing; captured-xvfb.swaps is the same packet seen on a screen."},
  {"good-largest.swaps", AS_SENT, 0, 0, {0}, -1, "PACKET",
   "The largest packet: 253 settings (value of setting i: i * 37 + 11, low 8 bits)."},
  {"good-60hz-late.swaps", ON_60HZ, 0, 0, {TWO}, 2, "PACKET",
   "good-two-settings.swaps as a device may see it on a 60 Hz display: every swap\n"
   "reaches the screen 0 to 8 ms after it was due, then shows at the next refresh\n"
   "(every 16.7 ms, the first at 7 ms). Intervals are whole frames: 33.3, 50 or\n"
   "66.7 ms for 50 ms; 83.3, 100 or 116.7 ms for 100 ms."},
  {"good-two-runs.swaps", RUN_BEFORE, 1, 0, {0x01, 0x07, 0xA5}, 3, "PACKET PACKET",
   "Two runs 1 s apart: one setting 0x01, then two settings 0x07 and 0xA5.\n"
   "Each is a packet of its own; the values below are the second run's."},
  {"stray-edges-then-good.swaps", STRAY_BEFORE, 0, 0, {TWO}, 2, "ERR_TRUNCATED PACKET",
   "Two stray swaps 40 ms apart (the device placed on the screen, a hand passing),\n"
   "1 s of silence, then a good run of two settings. The receiver takes the stray\n"
   "swaps as the start of a packet and reports it truncated, with no byte received\n"
   "(orx_length() == 0), when the run's first swap comes after the silence."},
  {"err-interval.swaps", INTERVAL, 23, 3 * OPTICAL_ONE_BIT_US / 2, {TWO}, 2, "ERR_INTERVAL",
   "A 150 ms interval in the third byte (bit 1 of 0x12): longer than any symbol,\n"
   "shorter than idle."},
  {"err-framing.swaps", INTERVAL, 11, OPTICAL_ONE_BIT_US, {TWO}, 2, "ERR_FRAMING",
   "The start symbol of the second byte lasts 100 ms instead of 50 ms."},
  {"err-sync.swaps", WRONG_SYNC, 0, 0, {TWO}, 2, "ERR_SYNC",
   "The first byte is not the sync byte."},
  {"err-length.swaps", COUNT_TOO_LARGE, 0, 0, {0x00, 0x00}, 2, "ERR_LENGTH",
   "The count byte says 254 settings; at most 253 fit. The receiver stops at the\n"
   "count and ignores the rest of the run."},
  {"err-checksum.swaps", WRONG_CHECKSUM, 0, 0, {TWO}, 2, "ERR_CHECKSUM",
   "The checksum byte is one more than the sum of count and values."},
  {"err-truncated.swaps", CUT, 25, 0, {TWO}, 2, "ERR_TRUNCATED",
   "A run that stops in the middle of the third byte, after 25 of its 50 swaps (as a\n"
   "run cancelled mid-byte may look): two bytes received, then silence."},
  {"err-truncated-then-good.swaps", CUT_THEN_RETRY, 25, 0, {TWO}, 2, "ERR_TRUNCATED PACKET",
   "err-truncated.swaps, 1 s of silence, then the whole run again (a retry). The\n"
   "truncation is reported when the retry's first swap comes, with the two bytes\n"
   "received (orx_length() == 2): unlike stray swaps, a device shows it."},
  {"cancelled-mid-byte.swaps", CANCEL, 25, 0, {TWO}, 2, "ERR_TRUNCATED ERR_TRUNCATED",
   "A run cancelled in the tool after 25 swaps, an odd number: the panels are swapped,\n"
   "so the tool puts the colours back with one more swap after an idle silence. The\n"
   "receiver reports the run cut short (two bytes), then that lone swap cut short too\n"
   "(no byte, so a device ignores it)."},
  {"cancelled-in-checksum-wait.swaps", CANCEL, 49, 0, {TWO}, 2, "ERR_TRUNCATED ERR_TRUNCATED",
   "A run cancelled in its very last wait, the one of the checksum's bit 7, before the\n"
   "end-of-byte swap. Put back at once, the colours would end the byte and complete a\n"
   "valid packet of a run the tool reports as cancelled; after the idle silence the\n"
   "packet is cut short instead."},
  {"err-noise-pulse.swaps", NOISE_PULSE, 22, 20000, {TWO}, 2, "ERR_INTERVAL",
   "A 2 ms pulse (two edges 2 ms apart) 20 ms into a 100 ms bit of the third byte, as\n"
   "an undebounced sensor may see a flicker: the 20 ms interval is below the window."},
};
/* clang-format on */

/* The swaps of one case, whose (last) run sends the settings `values`; `bytes` gets that run's
 * bytes as sent. Returns their number. */
static size_t make_run(const vector_case* c, const uint8_t* values, size_t count, run* r,
                       uint8_t* bytes) {
  *r = (run){0};
  const size_t len = transmitter_make_packet(bytes, values, count);
  switch (c->change) {
    case STRAY_BEFORE:
      /* The device put down on the screen: its sensor sees light, dark and light again. */
      r->t[r->n++] = 20000;
      r->t[r->n++] = 60000;
      r->now = 60000 + kSilenceUs;
      break;
    case RUN_BEFORE: {
      uint8_t earlier[OPTICAL_MAX_PACKET];
      transmit(r, earlier, transmitter_make_packet(earlier, c->values, c->at));
      r->now += kSilenceUs;
      break;
    }
    case CUT_THEN_RETRY:
      transmit(r, bytes, len);
      r->n = c->at;
      r->now = r->t[c->at - 1] + kSilenceUs;
      break;
    case WRONG_SYNC:
      bytes[0] = OPTICAL_SYNC_BYTE - 1;
      break;
    case COUNT_TOO_LARGE:
      bytes[1] = OPTICAL_MAX_PACKET - 2;
      bytes[len - 1] = (uint8_t)(bytes[len - 1] - count + bytes[1]);
      break;
    case WRONG_CHECKSUM:
      bytes[len - 1]++;
      break;
    default:
      break;
  }
  transmit(r, bytes, len);
  switch (c->change) {
    case ON_60HZ:
      show_on_display(r, 8000, 60, 7000);
      break;
    case INTERVAL:
      set_interval(r, c->at, c->us);
      break;
    case CUT:
      r->n = c->at;
      break;
    case CANCEL:
      r->n = c->at;
      insert_swap(r, r->t[c->at - 1] + RESTORE_AFTER_US);
      break;
    case NOISE_PULSE: {
      const int64_t at = r->t[c->at] + c->us;
      insert_swap(r, at);
      insert_swap(r, at + 2000);
      break;
    }
    default:
      break;
  }
  return len;
}

static bool ends_with_packet(const char* events) {
  const size_t n = strlen(events);
  return n >= 6 && strcmp(events + n - 6, "PACKET") == 0;
}

int main(int argc, char** argv) {
  const int check = argc == 3 && strcmp(argv[1], "--check") == 0;
  if (argc != 2 + check) {
    fprintf(stderr, "usage: %s [--check] DIR\n", argv[0]);
    return 2;
  }
  const char* dir = argv[1 + check];
  static vector_file f;
  static run r;
  for (size_t i = 0; i < sizeof kCases / sizeof kCases[0]; i++) {
    const vector_case* c = &kCases[i];
    uint8_t values[OPTICAL_MAX_PACKET], bytes[OPTICAL_MAX_PACKET];
    /* Two runs: the first `at` values are the earlier run's, and there is no one list of bytes
     * sent. */
    const bool one_run = c->change != RUN_BEFORE;
    const size_t first = one_run ? 0 : c->at;
    const size_t count = c->count < 0 ? OPTICAL_MAX_PACKET - 3 : (size_t)c->count - first;
    for (size_t k = 0; k < count; k++)
      values[k] = c->count < 0 ? (uint8_t)(k * 37 + 11) : c->values[first + k];
    const size_t len = make_run(c, values, count, &r, bytes);
    f.name = c->name;
    compose(&f, c->description, one_run ? bytes : NULL, one_run ? len : 0, c->events,
            ends_with_packet(c->events) ? values : NULL, count, &r);
    emit(&f, dir, check);
  }
  if (check) {
    if (g_problems)
      printf("%d vector(s) to make again: make_vectors %s\n", g_problems, dir);
    else
      printf("every vector of %s is what make_vectors writes\n", dir);
  }
  return g_problems ? 1 : 0;
}

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
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "protocol/optical_protocol.h"
#include "receiver/transmitter_model.h"

enum { kMaxSwaps = 4096, kMaxText = 1 << 16 };

static const int64_t kOneUs = OPTICAL_ONE_BIT_US, kStartUs = OPTICAL_START_US;
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

int main(int argc, char** argv) {
  const int check = argc == 3 && strcmp(argv[1], "--check") == 0;
  if (argc != 2 + check) {
    fprintf(stderr, "usage: %s [--check] DIR\n", argv[0]);
    return 2;
  }
  const char* dir = argv[1 + check];
  static vector_file f;
  static run r;
  uint8_t bytes[OPTICAL_MAX_PACKET] = {0}, values[OPTICAL_MAX_PACKET] = {0};
  static const uint8_t two[] = {0x12, 0x34};

  /* Good runs. */
  {
    f.name = "good-no-settings.swaps";
    r = (run){0};
    const size_t len = transmitter_make_packet(bytes, NULL, 0);
    transmit(&r, bytes, len);
    compose(&f, "A packet without settings, ideal timing.", bytes, len, "PACKET", values, 0, &r);
    emit(&f, dir, check);
  }
  {
    f.name = "good-two-settings.swaps";
    r = (run){0};
    const size_t len = transmitter_make_packet(bytes, two, 2);
    transmit(&r, bytes, len);
    compose(&f, "Two settings, 0x12 and 0x34, ideal timing.", bytes, len, "PACKET", two, 2, &r);
    emit(&f, dir, check);
  }
  {
    static const uint8_t typed[] = {0x00, 0xFF, 0x2C, 0xFF, 0x9F};
    f.name = "good-typed-values.swaps";
    r = (run){0};
    const size_t len = transmitter_make_packet(bytes, typed, 5);
    transmit(&r, bytes, len);
    compose(&f,
            "What the boxes 0, 255, 300, -1 and 99999 send: the low 8 bits of each number.\n"
            "Ideal timing.",
            bytes, len, "PACKET", typed, 5, &r);
    emit(&f, dir, check);
  }
  {
    static const uint8_t form[] = {0x0C, 0x2C, 0xFF, 0x00, 0xFF, 0x00};
    f.name = "good-program-device.swaps";
    r = (run){0};
    const size_t len = transmitter_make_packet(bytes, form, 6);
    transmit(&r, bytes, len);
    compose(&f,
            "The end-to-end test's form: boxes 12, 300, -1, 0, 255 and an empty one.\n"
            "Ideal timing; captured-xvfb.swaps is the same packet seen on a screen.",
            bytes, len, "PACKET", form, 6, &r);
    emit(&f, dir, check);
  }
  {
    for (size_t i = 0; i < OPTICAL_MAX_PACKET - 3; i++) values[i] = (uint8_t)(i * 37 + 11);
    f.name = "good-largest.swaps";
    r = (run){0};
    const size_t len = transmitter_make_packet(bytes, values, OPTICAL_MAX_PACKET - 3);
    transmit(&r, bytes, len);
    compose(&f, "The largest packet: 253 settings (value of setting i: i * 37 + 11, low 8 bits).",
            bytes, len, "PACKET", values, OPTICAL_MAX_PACKET - 3, &r);
    emit(&f, dir, check);
  }
  {
    f.name = "good-60hz-late.swaps";
    r = (run){0};
    const size_t len = transmitter_make_packet(bytes, two, 2);
    transmit(&r, bytes, len);
    show_on_display(&r, 8000, 60, 7000);
    compose(&f,
            "good-two-settings.swaps as a device may see it on a 60 Hz display: every swap\n"
            "reaches the screen 0 to 8 ms after it was due, then shows at the next refresh\n"
            "(every 16.7 ms, the first at 7 ms). Intervals are whole frames: 33.3, 50 or\n"
            "66.7 ms for 50 ms; 83.3, 100 or 116.7 ms for 100 ms.",
            bytes, len, "PACKET", two, 2, &r);
    emit(&f, dir, check);
  }
  {
    static const uint8_t first[] = {0x01}, second[] = {0x07, 0xA5};
    f.name = "good-two-runs.swaps";
    r = (run){0};
    size_t len = transmitter_make_packet(bytes, first, 1);
    transmit(&r, bytes, len);
    r.now += kSilenceUs;
    len = transmitter_make_packet(bytes, second, 2);
    transmit(&r, bytes, len);
    compose(&f,
            "Two runs 1 s apart: one setting 0x01, then two settings 0x07 and 0xA5.\n"
            "Each is a packet of its own; the values below are the second run's.",
            NULL, 0, "PACKET PACKET", second, 2, &r);
    emit(&f, dir, check);
  }
  {
    f.name = "stray-edges-then-good.swaps";
    r = (run){0};
    /* The device put down on the screen: its sensor sees light, dark and light again. */
    r.t[r.n++] = 20000;
    r.t[r.n++] = 60000;
    r.now = 60000 + kSilenceUs;
    const size_t len = transmitter_make_packet(bytes, two, 2);
    transmit(&r, bytes, len);
    compose(&f,
            "Two stray swaps 40 ms apart (the device placed on the screen, a hand passing),\n"
            "1 s of silence, then a good run of two settings. The receiver takes the stray\n"
            "swaps as the start of a packet and reports it truncated, with no byte received\n"
            "(orx_length() == 0), when the run's first swap comes after the silence.",
            bytes, len, "ERR_TRUNCATED PACKET", two, 2, &r);
    emit(&f, dir, check);
  }

  /* Runs the receiver rejects. All send the two settings 0x12 and 0x34 unless they say not. */
  {
    f.name = "err-interval.swaps";
    r = (run){0};
    const size_t len = transmitter_make_packet(bytes, two, 2);
    transmit(&r, bytes, len);
    /* Swap 23 ends bit 1 of the third byte; 150 ms is above the window and below idle. */
    set_interval(&r, 23, 3 * kOneUs / 2);
    compose(&f,
            "A 150 ms interval in the third byte (bit 1 of 0x12): longer than any symbol,\n"
            "shorter than idle.",
            bytes, len, "ERR_INTERVAL", NULL, 0, &r);
    emit(&f, dir, check);
  }
  {
    f.name = "err-framing.swaps";
    r = (run){0};
    const size_t len = transmitter_make_packet(bytes, two, 2);
    transmit(&r, bytes, len);
    set_interval(&r, 11, kOneUs); /* the start symbol of the count byte */
    compose(&f, "The start symbol of the second byte lasts 100 ms instead of 50 ms.", bytes, len,
            "ERR_FRAMING", NULL, 0, &r);
    emit(&f, dir, check);
  }
  {
    f.name = "err-sync.swaps";
    r = (run){0};
    const size_t len = transmitter_make_packet(bytes, two, 2);
    bytes[0] = OPTICAL_SYNC_BYTE - 1;
    transmit(&r, bytes, len);
    compose(&f, "The first byte is not the sync byte.", bytes, len, "ERR_SYNC", NULL, 0, &r);
    emit(&f, dir, check);
  }
  {
    f.name = "err-length.swaps";
    r = (run){0};
    static const uint8_t sent[] = {OPTICAL_SYNC_BYTE, OPTICAL_MAX_PACKET - 2, 0x00, 0x00, 0xFE};
    transmit(&r, sent, sizeof sent);
    compose(&f,
            "The count byte says 254 settings; at most 253 fit. The receiver stops at the\n"
            "count and ignores the rest of the run.",
            sent, sizeof sent, "ERR_LENGTH", NULL, 0, &r);
    emit(&f, dir, check);
  }
  {
    f.name = "err-checksum.swaps";
    r = (run){0};
    const size_t len = transmitter_make_packet(bytes, two, 2);
    bytes[len - 1]++;
    transmit(&r, bytes, len);
    compose(&f, "The checksum byte is one more than the sum of count and values.", bytes, len,
            "ERR_CHECKSUM", NULL, 0, &r);
    emit(&f, dir, check);
  }
  {
    f.name = "err-truncated.swaps";
    r = (run){0};
    const size_t len = transmitter_make_packet(bytes, two, 2);
    transmit(&r, bytes, len);
    r.n = 25; /* two whole bytes, then the first five swaps of the third */
    compose(&f,
            "A run that stops in the middle of the third byte, after 25 of its 50 swaps (as a\n"
            "run cancelled mid-byte may look): two bytes received, then silence.",
            bytes, len, "ERR_TRUNCATED", NULL, 0, &r);
    emit(&f, dir, check);
  }
  {
    f.name = "err-truncated-then-good.swaps";
    r = (run){0};
    const size_t len = transmitter_make_packet(bytes, two, 2);
    transmit(&r, bytes, len);
    r.n = 25;
    r.now = r.t[24] + kSilenceUs;
    transmit(&r, bytes, len);
    compose(&f,
            "err-truncated.swaps, 1 s of silence, then the whole run again (a retry). The\n"
            "truncation is reported when the retry's first swap comes, with the two bytes\n"
            "received (orx_length() == 2): unlike stray swaps, a device shows it.",
            bytes, len, "ERR_TRUNCATED PACKET", two, 2, &r);
    emit(&f, dir, check);
  }
  {
    /* The tool puts the colours back after a cancel only once the panels have held still for
     * twice the one-bit duration plus one start duration, when the cancel left them swapped. */
    const int64_t restore_after_us = 2 * kOneUs + kStartUs;
    f.name = "cancelled-mid-byte.swaps";
    r = (run){0};
    const size_t len = transmitter_make_packet(bytes, two, 2);
    transmit(&r, bytes, len);
    r.n = 25;
    insert_swap(&r, r.t[24] + restore_after_us);
    compose(&f,
            "A run cancelled in the tool after 25 swaps, an odd number: the panels are swapped,\n"
            "so the tool puts the colours back with one more swap after an idle silence. The\n"
            "receiver reports the run cut short (two bytes), then that lone swap cut short too\n"
            "(no byte, so a device ignores it).",
            bytes, len, "ERR_TRUNCATED ERR_TRUNCATED", NULL, 0, &r);
    emit(&f, dir, check);

    f.name = "cancelled-in-checksum-wait.swaps";
    r = (run){0};
    transmit(&r, bytes, len);
    r.n = 49;
    insert_swap(&r, r.t[48] + restore_after_us);
    compose(&f,
            "A run cancelled in its very last wait, the one of the checksum's bit 7, before the\n"
            "end-of-byte swap. Put back at once, the colours would end the byte and complete a\n"
            "valid packet of a run the tool reports as cancelled; after the idle silence the\n"
            "packet is cut short instead.",
            bytes, len, "ERR_TRUNCATED ERR_TRUNCATED", NULL, 0, &r);
    emit(&f, dir, check);
  }
  {
    f.name = "err-noise-pulse.swaps";
    r = (run){0};
    const size_t len = transmitter_make_packet(bytes, two, 2);
    transmit(&r, bytes, len);
    /* Inside bit 1 of the third byte (a 100 ms interval starting at swap 22). */
    const int64_t at = r.t[22] + 20000;
    insert_swap(&r, at);
    insert_swap(&r, at + 2000);
    compose(&f,
            "A 2 ms pulse (two edges 2 ms apart) 20 ms into a 100 ms bit of the third byte, as\n"
            "an undebounced sensor may see a flicker: the 20 ms interval is below the window.",
            bytes, len, "ERR_INTERVAL", NULL, 0, &r);
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

/*
 * The device examples of docs/protocol.md (example_device.c, and example_stream_device.c when
 * built with EXAMPLE_STREAM), fed some of the test vectors: what they apply and which errors they
 * show. Both must do the same.
 *
 *   example_device_test VECTORS_DIR
 */
#include <stdio.h>
#include <string.h>

#include "tests/receiver/swaps_file.h"

#ifdef EXAMPLE_STREAM
typedef uint32_t example_time; /* the low 32 bits of the time */
#else
typedef int64_t example_time;
#endif

/* The example's entry points, and the functions it leaves to the device maker. */
void arm(void);
void on_swap(example_time time_us);
void on_tick(example_time now_us);
void apply_settings(const uint8_t* values, size_t count);

static char g_log[1024];

static void log_text(const char* text) {
  const size_t length = strlen(g_log);
  snprintf(g_log + length, sizeof g_log - length, "%s%s", length ? "; " : "", text);
}

void apply_settings(const uint8_t* values, size_t count) {
  char text[64] = "apply";
  for (size_t i = 0; i < count && strlen(text) + 4 < sizeof text; i++)
    snprintf(text + strlen(text), sizeof text - strlen(text), " %02X", values[i]);
  log_text(text);
}

void show_error(const char* what) { log_text(what); }

#ifdef EXAMPLE_STREAM
/* The streaming example stores each value as it comes and commits them on a good checksum. */
static uint8_t g_stored[ORX_MAX_VALUES];
void store_value(uint8_t index, uint8_t value) { g_stored[index] = value; }
void commit_values(uint8_t count) { apply_settings(g_stored, count); }
#endif

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: %s VECTORS_DIR\n", argv[0]);
    return 2;
  }
  /* The main loop's tick comes a second after the last swap: long past idle. */
  static const struct {
    const char* file;
    const char* want;
  } cases[] = {
      {"stray-edges-then-good.swaps", "apply 12 34"},
      {"good-two-runs.swaps", "apply 01; apply 07 A5"},
      {"good-no-settings.swaps", "apply"},
      {"err-checksum.swaps", "ERR_CHECKSUM"},
      {"err-truncated.swaps", "ERR_TRUNCATED"},
      {"err-truncated-then-good.swaps", "ERR_TRUNCATED; apply 12 34"},
      {"err-noise-pulse.swaps", "ERR_INTERVAL"},
  };
  static swaps_file file;
  int failures = 0;
  for (size_t c = 0; c < sizeof cases / sizeof cases[0]; c++) {
    char path[4096], error[256] = "path too long";
    if (snprintf(path, sizeof path, "%s/%s", argv[1], cases[c].file) >= (int)sizeof path ||
        !swaps_file_read(path, &file, error, sizeof error)) {
      printf("FAIL %s: %s\n", cases[c].file, error);
      failures++;
      continue;
    }
    g_log[0] = '\0';
    arm();
    for (size_t i = 0; i < file.count; i++) on_swap((example_time)file.times[i]);
    on_tick((example_time)(file.times[file.count - 1] + 1000000));
    const bool ok = strcmp(g_log, cases[c].want) == 0;
    printf("%s %s: %s\n", ok ? "ok  " : "FAIL", cases[c].file, g_log);
    if (!ok) {
      printf("  wanted: %s\n", cases[c].want);
      failures++;
    }
  }
  return failures ? 1 : 0;
}

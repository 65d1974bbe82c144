/*
 * The device example of docs/protocol.md (example_device.c), fed some of the test vectors: what
 * it applies and which errors it shows.
 *
 *   example_device_test VECTORS_DIR
 */
#include <stdio.h>
#include <string.h>

#include "tests/receiver/swaps_file.h"

/* The example's entry points, and the two functions it leaves to the device maker. */
void arm(void);
void on_swap(int64_t time_us);
void on_tick(int64_t now_us);

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
    for (size_t i = 0; i < file.count; i++) on_swap(file.times[i]);
    on_tick(file.times[file.count - 1] + 1000000);
    const bool ok = strcmp(g_log, cases[c].want) == 0;
    printf("%s %s: %s\n", ok ? "ok  " : "FAIL", cases[c].file, g_log);
    if (!ok) {
      printf("  wanted: %s\n", cases[c].want);
      failures++;
    }
  }
  return failures ? 1 : 0;
}

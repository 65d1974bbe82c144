/*
 * How the display's refresh rate affects decoding: replays good runs (*.swaps files whose only
 * event is PACKET) as a display of F Hz shows them, and counts the runs that the reference
 * receiver still decodes exactly (PACKET, with the file's values).
 *
 *   refresh_replay [options] FILE_OR_DIR...
 *     --runs N           runs per refresh rate and column (default 1000), files taken in turn
 *     --seed N           seed of the pseudo-random numbers (default 1): same seed, same table
 *     --late-us LIST     one column per entry: each swap reaches the screen a random 0..L us
 *                        after its time in the file (default 0: as the file says)
 *     --sensor-us S      the device sees each change a random 0..S us after the refresh
 *                        (sensor, filter and timer; default 0)
 *     --rates LIST       refresh rates in Hz (default 24,25,30,48,50,60,75,120,144)
 *     --expect-all HZ    exit 1 unless every run decodes at HZ (repeatable)
 *     --expect-none HZ   exit 1 unless no run decodes at HZ (repeatable)
 *
 * A folder stands for its good runs; a file named on its own must be one. Runs already shown on
 * a display (tests/vectors/good-60hz-late.swaps) would be rounded to frames twice: name the ideal
 * or captured runs rather than the whole vectors folder. The model of a run:
 * the display refreshes every 1/F s from a random phase; a swap shows at the first refresh at or
 * after the moment it reaches the screen; two swaps that reach the same refresh cancel out (the
 * panels show no change); the device sees each change at its refresh plus its own latency.
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "tests/receiver/swaps_file.h"

enum { kMaxFiles = 64, kMaxColumns = 8, kMaxRates = 32 };

static uint64_t g_state;

/* splitmix64: fast, and the same numbers on every machine for a given seed. */
static uint64_t next_random(void) {
  uint64_t z = (g_state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

/* Uniform in [0, 1). */
static double random_unit(void) {
  return (double)(next_random() >> 11) * (1.0 / 9007199254740992.0);
}

/* Uniform in [0, bound]. */
static int64_t random_upto(int64_t bound) {
  return bound <= 0 ? 0 : (int64_t)(next_random() % (uint64_t)(bound + 1));
}

static int parse_list(const char* text, long* out, int max) {
  int count = 0;
  while (*text && count < max) {
    char* end = NULL;
    out[count++] = strtol(text, &end, 10);
    if (end == text) return -1;
    text = *end == ',' ? end + 1 : end;
    if (*end && *end != ',') return -1;
  }
  return count;
}

typedef struct {
  char path[4096];
  swaps_file data;
} good_run;

static good_run g_runs[kMaxFiles];
static int g_run_count;

static int add_file(const char* path, int named) {
  if (g_run_count == kMaxFiles) {
    fprintf(stderr, "refresh_replay: more than %d files\n", kMaxFiles);
    return 0;
  }
  good_run* run = &g_runs[g_run_count];
  char error[256];
  if (!swaps_file_read(path, &run->data, error, sizeof error)) {
    fprintf(stderr, "refresh_replay: %s: %s\n", path, error);
    return 0;
  }
  if (strcmp(run->data.events, "PACKET") != 0) {
    if (!named) return 1; /* a folder's other files are not good runs: skipped */
    fprintf(stderr, "refresh_replay: %s: not a good run (events: %s)\n", path, run->data.events);
    return 0;
  }
  if (snprintf(run->path, sizeof run->path, "%s", path) >= (int)sizeof run->path) {
    fprintf(stderr, "refresh_replay: %s: path too long\n", path);
    return 0;
  }
  g_run_count++;
  return 1;
}

static int add_path(const char* path) {
  static char names[256][SWAPS_MAX_NAME];
  const int count = swaps_list_dir(path, names, 256);
  if (count < 0) return add_file(path, 1);
  for (int i = 0; i < count; i++) {
    char file[4096];
    if (snprintf(file, sizeof file, "%s/%s", path, names[i]) >= (int)sizeof file ||
        !add_file(file, 0))
      return 0;
  }
  return 1;
}

/* The run as the device sees it on a display of `hz`; returns the number of changes seen. */
static size_t show(const swaps_file* in, int64_t* seen, long hz, int64_t late_us,
                   int64_t sensor_us) {
  const double frame_us = 1e6 / (double)hz;
  const double phase_us = random_unit() * frame_us;
  size_t count = 0;
  int64_t previous_refresh = INT64_MIN;
  for (size_t i = 0; i < in->count; i++) {
    const double reaches = (double)(in->times[i] + random_upto(late_us));
    /* The index of the first refresh at or after `reaches`. */
    const double ticks = (reaches - phase_us) / frame_us;
    int64_t refresh = (int64_t)ticks;
    if ((double)refresh < ticks) refresh++;
    if (count > 0 && refresh == previous_refresh) {
      count--; /* a second swap in the same refresh undoes the first: no change shows */
      previous_refresh = INT64_MIN;
      continue;
    }
    previous_refresh = refresh;
    seen[count++] = (int64_t)(phase_us + (double)refresh * frame_us + 0.5);
  }
  /* The sensor's latency, which can't put one change before the one that came first. */
  for (size_t i = 0; i < count; i++) {
    seen[i] += random_upto(sensor_us);
    if (i > 0 && seen[i] < seen[i - 1]) seen[i] = seen[i - 1];
  }
  return count;
}

static int decodes(const swaps_file* in, const int64_t* seen, size_t count) {
  char events[SWAPS_MAX_EVENTS_TEXT];
  uint8_t values[ORX_MAX_VALUES];
  size_t value_count = 0;
  swaps_replay(seen, count, events, sizeof events, values, &value_count);
  return strcmp(events, "PACKET") == 0 && value_count == in->value_count &&
         memcmp(values, in->values, value_count) == 0;
}

int main(int argc, char** argv) {
  long runs = 1000, seed = 1, sensor_us = 0;
  long lates[kMaxColumns] = {0}, rates[kMaxRates] = {24, 25, 30, 48, 50, 60, 75, 120, 144};
  long expect_all[kMaxRates], expect_none[kMaxRates];
  int late_count = 1, rate_count = 9, all_count = 0, none_count = 0;
  int i = 1;
  for (; i < argc && strncmp(argv[i], "--", 2) == 0; i += 2) {
    const char* option = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : NULL;
    if (!value) break;
    if (!strcmp(option, "--runs")) {
      runs = atol(value);
    } else if (!strcmp(option, "--seed")) {
      seed = atol(value);
    } else if (!strcmp(option, "--sensor-us")) {
      sensor_us = atol(value);
    } else if (!strcmp(option, "--late-us")) {
      late_count = parse_list(value, lates, kMaxColumns);
    } else if (!strcmp(option, "--rates")) {
      rate_count = parse_list(value, rates, kMaxRates);
    } else if (!strcmp(option, "--expect-all") && all_count < kMaxRates) {
      expect_all[all_count++] = atol(value);
    } else if (!strcmp(option, "--expect-none") && none_count < kMaxRates) {
      expect_none[none_count++] = atol(value);
    } else {
      late_count = -1;
    }
  }
  int bad = i >= argc || runs <= 0 || late_count <= 0 || rate_count <= 0 || sensor_us < 0;
  for (int r = 0; r < rate_count && !bad; r++) bad = rates[r] <= 0;
  for (int c = 0; c < late_count && !bad; c++) bad = lates[c] < 0;
  if (bad) {
    fprintf(stderr,
            "usage: %s [--runs N] [--seed N] [--late-us L,...] [--sensor-us S] [--rates HZ,...]\n"
            "       [--expect-all HZ] [--expect-none HZ] FILE_OR_DIR...\n",
            argv[0]);
    return 2;
  }
  for (; i < argc; i++)
    if (!add_path(argv[i])) return 2;
  if (g_run_count == 0) {
    fprintf(stderr, "refresh_replay: no good runs among the files given\n");
    return 2;
  }
  g_state = (uint64_t)seed;

  printf("%d good run(s):", g_run_count);
  for (int f = 0; f < g_run_count; f++) printf(" %s", g_runs[f].path);
  printf("\n%ld runs per cell, seed %ld, sensor latency 0 to %ld us\n\n", runs, seed, sensor_us);
  printf("| Refresh | Frame |");
  for (int c = 0; c < late_count; c++) {
    if (lates[c] == 0)
      printf(" on time |");
    else
      printf(" 0 to %.1f ms late |", (double)lates[c] / 1000.0);
  }
  printf("\n|---|---|");
  for (int c = 0; c < late_count; c++) printf("---|");
  printf("\n");

  static int64_t seen[SWAPS_MAX_TIMES];
  int failures = 0;
  for (int r = 0; r < rate_count; r++) {
    printf("| %ld Hz | %.1f ms |", rates[r], 1000.0 / (double)rates[r]);
    for (int c = 0; c < late_count; c++) {
      long decoded = 0;
      for (long n = 0; n < runs; n++) {
        const swaps_file* in = &g_runs[n % g_run_count].data;
        const size_t count = show(in, seen, rates[r], lates[c], sensor_us);
        decoded += decodes(in, seen, count);
      }
      printf(" %.1f %% (%ld/%ld) |", 100.0 * (double)decoded / (double)runs, decoded, runs);
      for (int e = 0; e < all_count; e++) {
        if (expect_all[e] == rates[r] && decoded != runs) {
          fprintf(stderr, "refresh_replay: at %ld Hz only %ld of %ld runs decode\n", rates[r],
                  decoded, runs);
          failures++;
        }
      }
      for (int e = 0; e < none_count; e++) {
        if (expect_none[e] == rates[r] && decoded != 0) {
          fprintf(stderr, "refresh_replay: at %ld Hz %ld of %ld runs decode, expected none\n",
                  rates[r], decoded, runs);
          failures++;
        }
      }
    }
    printf("\n");
  }
  return failures ? 1 : 0;
}

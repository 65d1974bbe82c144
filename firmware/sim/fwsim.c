/*
 * Runs a settings firmware on a simulated part and plays swap timelines at its sensor pin, then
 * judges what it stored in EEPROM and showed on its LEDs.
 *
 *   fwsim FIRMWARE.elf [--part NAME] [--clock-percent P] [--builtin] [--file F.swaps]...
 *         [--file-if-present F.swaps]... [--dir DIR]... [--jitter-us N] [--seed S]
 *         [--expect-failure] [--skip-missing]
 *
 * --part names the part the firmware is built for (part.c: atmega328p, the default, or
 * attiny85). --clock-percent runs it at P % of its nominal clock (105: 5 % fast), which the
 * reference receiver is told too. --expect-failure says that every file must fail (failure shown,
 * old settings kept) rather than decode as its `# events:` line says: for a clock too far off.
 * --builtin runs the table of generated cases (builtin_cases.c). --file and --dir play `.swaps`
 * files (every `*.swaps` in DIR, in name order), read by tests/receiver/swaps_file.h;
 * --file-if-present plays a file when it exists and says so when not (a capture that only a
 * longer test writes). --jitter-us N moves every interval of those files by a random amount in
 * [-N, N] (seeded by --seed, so a run repeats). --skip-missing turns a missing --file or an empty
 * folder into a skip (exit 77) instead of an error.
 *
 * What the firmware should do with a timeline is worked out by the reference receiver on the
 * host, fed the same swaps the way the firmware feeds them: a packet that checks out is stored
 * and shown as success; any error shows failure and stores nothing, except a cut-off packet
 * without a single byte (stray edges), which shows nothing. A file's `# events:` and `# values:`
 * lines must agree with that, and the firmware with both.
 *
 * Exit status: 0 when every case passed, 1 when one failed, 2 for bad usage or input, 77 when
 * there was nothing to run and --skip-missing was given.
 */
#define _POSIX_C_SOURCE 200809L

#include <inttypes.h>
#include <simavr/sim_avr.h>
#include <simavr/sim_elf.h>
#include <stdarg.h>
#include <stdbool.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include "firmware/sim/builtin_cases.h"
#include "firmware/sim/part.h"
#include "firmware/sim/runner.h"
#include "firmware/sim/simulated_part.h"
#include "tests/receiver/swaps_file.h"

static double wall_ms_since(const struct timespec* start) {
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return (double)(now.tv_sec - start->tv_sec) * 1e3 + (double)(now.tv_nsec - start->tv_nsec) / 1e6;
}

void play(elf_firmware_t* firmware, tally* total, const char* name, const timeline* line,
          const setup* how) {
  const shown intended = how->intended;
  const char* file_events = how->file_events;
  const setting_set* file_values = how->file_values;
  struct timespec start;
  clock_gettime(CLOCK_MONOTONIC, &start);
  expectation want;
  expect(line, &want);
  if (how->worn_address >= 0 && want.stored) {
    /* The firmware reads the slot back before committing it and finds the cell wrong. */
    want.worn_cell = true;
    want.stored = 0;
    want.leds = SHOWN_FAILURE;
  }
  eeprom_image before;
  image_old(&before, how->old);

  char why[640] = "";
  run_result result;
  memset(&result, 0, sizeof result);
  bool ok = run_firmware(firmware, line, &before, &want, how->worn_address, &result);
  if (!ok) snprintf(why, sizeof why, "the simulation stopped early");
  bool eeprom_ok =
      judge_eeprom(&before, &result.eeprom, &want, why + strlen(why), sizeof why - strlen(why));
  if (result.torn[0]) {
    eeprom_ok = false;
    snprintf(why, sizeof why, "%s", result.torn);
  }
  /* What the device's code sees: the settings loaded at start, or the ones just stored. */
  setting_set old_set = {0};
  const setting_set* in_force =
      want.stored ? stored_set(&want, 0) : image_settings(&before, &old_set);
  if (!in_force) in_force = &old_set;
  bool ram_ok = !the_part()->settings_in_ram ||
                (result.ram_found && result.ram.count == in_force->count &&
                 memcmp(result.ram.values, in_force->values, in_force->count) == 0);
  if (the_part()->settings_in_ram && !result.ram_found)
    snprintf(why, sizeof why, "the firmware has no `settings` and `settings_count` to check");
  else if (!ram_ok)
    snprintf(why, sizeof why, "the firmware holds %zu settings in RAM, not the %zu in force",
             result.ram.count, in_force->count);

  if (intended != SHOWN_BOTH && intended != want.leds) {
    ok = false;
    snprintf(why, sizeof why, "the case is broken: the reference receiver gives %s, not %s",
             shown_name(want.leds), shown_name(intended));
  } else if (file_events && strcmp(file_events, want.events) != 0) {
    ok = false;
    snprintf(why, sizeof why, "the file says events '%s', the reference receiver gives '%s'",
             file_events, want.events);
  } else if (file_values &&
             (!want.stored || stored_set(&want, 0)->count != file_values->count ||
              memcmp(stored_set(&want, 0)->values, file_values->values, file_values->count))) {
    ok = false;
    snprintf(why, sizeof why, "the file's values are not what the reference receiver decodes");
  } else if (result.leds != want.leds) {
    ok = false;
    snprintf(why, sizeof why, "showed %s, expected %s", shown_name(result.leds),
             shown_name(want.leds));
  }
  ok = ok && eeprom_ok && ram_ok;

  /* The EEPROM column counts the bytes written, each one a power cut checked. */
  char eeprom[32];
  snprintf(eeprom, sizeof eeprom, "%s %d", eeprom_ok ? "ok" : "WRONG", result.eeprom_writes);
  printf("%-34s %-6s shown %-8s eeprom %-9s %7.2f s sim %5.0f ms wall  %s%s%s\n", name,
         want.stored ? "stored" : "kept", shown_name(result.leds), eeprom, result.simulated_s,
         wall_ms_since(&start), ok ? "PASS" : "FAIL", *why ? ": " : "", why);
  fflush(stdout);
  if (result.stack_bytes > total->stack_bytes) total->stack_bytes = result.stack_bytes;
  if (ok)
    total->passed++;
  else
    total->failed++;
}

/* ---- .swaps files, read by tests/receiver/swaps_file.h ------------------------------------ */

/* Plays one `.swaps` file; false (with a message) if it cannot be read or is malformed. */
static bool expect_failure;

static bool play_file(elf_firmware_t* firmware, tally* total, const char* path, int64_t jitter_us,
                      uint64_t seed) {
  static swaps_file file;
  char error[256];
  if (!swaps_file_read(path, &file, error, sizeof error)) {
    fprintf(stderr, "fwsim: %s: %s\n", path, error);
    return false;
  }
  timeline line = {0};
  for (size_t i = 0; i < file.count; i++) push(&line, file.times[i]);
  setting_set values = {.count = file.value_count};
  memcpy(values.values, file.values, file.value_count);
  const char* base = strrchr(path, '/');
  base = base ? base + 1 : path;
  char name[128];
  if (expect_failure) {
    /* The file's own lines say what a right clock decodes; here the run must fail. */
    snprintf(name, sizeof name, "%s at %d %% clock", base, clock_percent());
    const setup how = {.old = OLD_IN_SLOT0, .intended = SHOWN_FAILURE, .worn_address = -1};
    play(firmware, total, name, &line, &how);
  } else if (jitter_us > 0) {
    add_jitter(&line, jitter_us, seed);
    snprintf(name, sizeof name, "%s +-%" PRId64 " us", base, jitter_us);
    /* Jitter changes what the receiver makes of the file: judge by the reference alone. */
    const setup how = {.old = OLD_IN_SLOT0, .intended = SHOWN_BOTH, .worn_address = -1};
    play(firmware, total, name, &line, &how);
  } else {
    const setup how = {
        .old = OLD_IN_SLOT0,
        .intended = SHOWN_BOTH,
        .file_events = file.events,
        /* A part whose slots hold fewer values refuses the packet. */
        .file_values = file.has_values && file.value_count <= part_capacity() ? &values : NULL,
        .worn_address = -1};
    play(firmware, total, base, &line, &how);
  }
  free(line.times);
  return true;
}

enum { MAX_FILES_IN_FOLDER = 512 };

/* Plays every *.swaps in `folder`, in name order; returns how many there were (0 if the folder
 * does not exist), -1 if one could not be read. */
static int play_folder(elf_firmware_t* firmware, tally* total, const char* folder,
                       int64_t jitter_us, uint64_t seed) {
  static char names[MAX_FILES_IN_FOLDER][SWAPS_MAX_NAME];
  const int count = swaps_list_dir(folder, names, MAX_FILES_IN_FOLDER);
  int played = 0;
  bool unreadable = false;
  for (int i = 0; i < count; i++) {
    char path[4096];
    if (snprintf(path, sizeof path, "%s/%s", folder, names[i]) >= (int)sizeof path) {
      fprintf(stderr, "fwsim: %s/%s: path too long\n", folder, names[i]);
      unreadable = true;
    } else if (play_file(firmware, total, path, jitter_us, seed)) {
      played++;
    } else {
      unreadable = true;
    }
  }
  return unreadable ? -1 : played;
}

/* ---- Main --------------------------------------------------------------------------------- */

/* simavr reports each section it loads; only its errors matter here. */
static void quiet_logger(avr_t* avr, const int level, const char* format, va_list args) {
  (void)avr;
  if (level <= LOG_ERROR) vfprintf(stderr, format, args);
}

static int usage(void) {
  fprintf(stderr,
          "usage: fwsim FIRMWARE.elf [--part NAME] [--clock-percent P] [--builtin] [--file "
          "F.swaps]...\n"
          "             [--file-if-present F.swaps]... [--dir DIR]... [--jitter-us N] [--seed S]\n"
          "             [--expect-failure] [--skip-missing]\n");
  return 2;
}

int main(int argc, char** argv) {
  if (argc < 2) return usage();
  const char* firmware_path = argv[1];
  bool builtin = false, skip_missing = false;
  int64_t jitter_us = 0;
  uint64_t seed = 1;
  const part* chosen = find_part("atmega328p");
  int percent = 100;
  /* Options first, so that --jitter-us applies wherever it stands. */
  for (int i = 2; i < argc; i++) {
    if (strcmp(argv[i], "--builtin") == 0) {
      builtin = true;
    } else if (strcmp(argv[i], "--skip-missing") == 0) {
      skip_missing = true;
    } else if (strcmp(argv[i], "--expect-failure") == 0) {
      expect_failure = true;
    } else if (strcmp(argv[i], "--part") == 0 && i + 1 < argc) {
      chosen = find_part(argv[++i]);
      if (!chosen) {
        fprintf(stderr, "fwsim: unknown part %s\n", argv[i]);
        return usage();
      }
    } else if (strcmp(argv[i], "--clock-percent") == 0 && i + 1 < argc) {
      percent = atoi(argv[++i]);
      if (percent < 50 || percent > 150) return usage();
    } else if (strcmp(argv[i], "--jitter-us") == 0 && i + 1 < argc) {
      jitter_us = strtoll(argv[++i], NULL, 10);
    } else if (strcmp(argv[i], "--seed") == 0 && i + 1 < argc) {
      seed = strtoull(argv[++i], NULL, 10);
    } else if ((strcmp(argv[i], "--file") == 0 || strcmp(argv[i], "--file-if-present") == 0 ||
                strcmp(argv[i], "--dir") == 0) &&
               i + 1 < argc) {
      i++;
    } else {
      return usage();
    }
  }

  /* A missing input is a skip, not a failure, where the caller says so: the captured file only
   * exists when the end-to-end test ran. */
  for (int i = 2; i + 1 < argc; i++) {
    if (strcmp(argv[i], "--file") != 0) continue;
    FILE* probe = fopen(argv[i + 1], "r");
    if (probe) {
      fclose(probe);
    } else if (skip_missing) {
      printf("fwsim: %s does not exist (the test that writes it did not run): skipped\n",
             argv[i + 1]);
      return 77;
    }
  }

  choose_part(chosen, percent);
  avr_global_logger_set(quiet_logger);
  elf_firmware_t firmware;
  memset(&firmware, 0, sizeof firmware);
  if (elf_read_firmware(firmware_path, &firmware) != 0) {
    fprintf(stderr, "fwsim: cannot load %s\n", firmware_path);
    return 2;
  }

  tally total = {0, 0, 0};
  struct timespec start;
  clock_gettime(CLOCK_MONOTONIC, &start);
  bool input_ok = true;
  int files = 0;
  printf(
      "Each case: what the reference receiver says is stored or kept, the LEDs lit, the EEPROM "
      "(right or WRONG, and how many bytes were written, a power cut checked after each), "
      "simulated and wall time.\n");
  if (builtin) run_builtin(&firmware, &total);
  for (int i = 2; i + 1 < argc; i++) {
    if (strcmp(argv[i], "--file") == 0) {
      if (play_file(&firmware, &total, argv[i + 1], jitter_us, seed))
        files++;
      else
        input_ok = false;
    } else if (strcmp(argv[i], "--file-if-present") == 0) {
      FILE* probe = fopen(argv[i + 1], "r");
      if (!probe) {
        printf("fwsim: %s does not exist (the test that writes it did not run): not played\n",
               argv[i + 1]);
      } else {
        fclose(probe);
        if (play_file(&firmware, &total, argv[i + 1], jitter_us, seed))
          files++;
        else
          input_ok = false;
      }
    } else if (strcmp(argv[i], "--dir") == 0) {
      const int played = play_folder(&firmware, &total, argv[i + 1], jitter_us, seed);
      if (played < 0) input_ok = false;
      if (played == 0) {
        fprintf(skip_missing ? stdout : stderr, "fwsim: no .swaps files in %s%s\n", argv[i + 1],
                skip_missing ? ": skipped" : "");
        if (!skip_missing) input_ok = false;
      }
      if (played > 0) files += played;
    }
  }
  if (!input_ok) return 2;
  if (total.passed + total.failed == 0) {
    if (!skip_missing) fprintf(stderr, "fwsim: nothing to play\n");
    return skip_missing ? 77 : 2;
  }
  /* The firmware has to fit the part's RAM with room to spare: static data and the deepest stack
   * any case reached must leave a quarter of it free. */
  const unsigned ram_bytes = the_part()->ram_bytes;
  const unsigned ram_used = firmware.datasize + firmware.bsssize + (unsigned)total.stack_bytes;
  const bool ram_ok = ram_used <= ram_bytes * 3 / 4;
  printf(
      "%s at %d %% of its clock. RAM: %u bytes of data and bss, stack at most %d bytes: %u of "
      "%u%s\n",
      the_part()->name, clock_percent(), firmware.datasize + firmware.bsssize, total.stack_bytes,
      ram_used, ram_bytes, ram_ok ? "" : ", over three quarters: FAIL");
  printf("%d passed, %d failed, %d of them from files, %.0f ms wall\n", total.passed, total.failed,
         files, wall_ms_since(&start));
  return total.failed || !ram_ok ? 1 : 0;
}

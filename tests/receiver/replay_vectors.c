/*
 * Replays every *.swaps file of a folder through the reference receiver and checks the events
 * and values that each file's `# events:` and `# values:` lines state.
 *
 *   replay_vectors DIR
 *
 * Exit status 0 when every file reads and matches; a folder without vectors fails too, so that a
 * wrong path can't pass.
 */
#include <stdio.h>
#include <string.h>

#include "tests/receiver/swaps_file.h"

enum { kMaxFiles = 512 };

static void print_values(const char* label, const uint8_t* values, size_t count) {
  printf("  %s:", label);
  for (size_t i = 0; i < count; i++) printf(" %02X", values[i]);
  printf("\n");
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
    const bool events_match = strcmp(events, file.events) == 0;
    const bool values_match =
        value_count == file.value_count && memcmp(values, file.values, value_count) == 0;
    if (events_match && values_match) {
      printf("ok   %s: %zu swaps, %s\n", names[i], file.count, events);
      continue;
    }
    failures++;
    printf("FAIL %s\n  events wanted: %s\n  events got:    %s\n", names[i], file.events, events);
    if (!values_match) {
      print_values("values wanted", file.values, file.value_count);
      print_values("values got   ", values, value_count);
    }
  }
  printf("%d file(s), %d failure(s)\n", count, failures);
  return failures ? 1 : 0;
}

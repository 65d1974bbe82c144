#define _POSIX_C_SOURCE 200809L

#include "tests/receiver/swaps_file.h"

#include <dirent.h>
#include <errno.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static bool fail(char* error, size_t error_size, long line, const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int n = snprintf(error, error_size, "line %ld: ", line);
  if (n >= 0 && (size_t)n < error_size) vsnprintf(error + n, error_size - (size_t)n, format, args);
  va_end(args);
  return false;
}

static bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

/* Copies the words of `text` into `out` separated by single blanks. */
static void join_words(const char* text, char* out, size_t out_size) {
  size_t length = 0;
  out[0] = '\0';
  while (*text) {
    while (is_blank(*text)) text++;
    const char* word = text;
    while (*text && !is_blank(*text)) text++;
    const size_t n = (size_t)(text - word);
    if (n == 0) break;
    if (length + n + 2 > out_size) break;
    if (length > 0) out[length++] = ' ';
    memcpy(out + length, word, n);
    length += n;
    out[length] = '\0';
  }
}

/* The tail of a line after `prefix` (and the blanks after it), or NULL if it does not start so. */
static const char* after(const char* line, const char* prefix) {
  const size_t n = strlen(prefix);
  return strncmp(line, prefix, n) == 0 ? line + n : NULL;
}

static bool read_values(const char* text, swaps_file* file) {
  file->value_count = 0;
  for (;;) {
    while (is_blank(*text)) text++;
    if (!*text) return true;
    char* end = NULL;
    const unsigned long value = strtoul(text, &end, 16);
    if (end != text + 2 || (*end && !is_blank(*end)) || value > 0xFF) return false;
    if (file->value_count == ORX_MAX_VALUES) return false;
    file->values[file->value_count++] = (uint8_t)value;
    text = end;
  }
}

bool swaps_file_read(const char* path, swaps_file* file, char* error, size_t error_size) {
  FILE* in = fopen(path, "r");
  if (!in) return fail(error, error_size, 0, "cannot open: %s", strerror(errno));
  file->count = 0;
  file->events[0] = '\0';
  file->has_values = false;
  file->value_count = 0;
  bool has_events = false, ok = true;
  char line[4096];
  long number = 0;
  while (ok && fgets(line, sizeof line, in)) {
    number++;
    if (!strchr(line, '\n') && !feof(in)) {
      ok = fail(error, error_size, number, "longer than %zu characters", sizeof line - 2);
    } else if (line[0] == '#') {
      const char* events = after(line, "# events:");
      const char* values = after(line, "# values:");
      if (events) {
        if (has_events) ok = fail(error, error_size, number, "a second events line");
        join_words(events, file->events, sizeof file->events);
        has_events = true;
      } else if (values) {
        if (file->has_values) ok = fail(error, error_size, number, "a second values line");
        if (ok && !read_values(values, file))
          ok = fail(error, error_size, number, "values are two hex digits each, at most %d",
                    ORX_MAX_VALUES);
        file->has_values = true;
      }
    } else {
      char* end = NULL;
      errno = 0;
      const long long time = strtoll(line, &end, 10);
      while (end && is_blank(*end)) end++;
      if (end == line || *end || errno == ERANGE) {
        ok = fail(error, error_size, number, "not a swap time in microseconds");
      } else if (time < 0) {
        ok = fail(error, error_size, number, "a time before the run start");
      } else if (file->count > 0 && time < file->times[file->count - 1]) {
        ok = fail(error, error_size, number, "time goes backwards");
      } else if (file->count == SWAPS_MAX_TIMES) {
        ok = fail(error, error_size, number, "more than %d swaps", SWAPS_MAX_TIMES);
      } else {
        file->times[file->count++] = time;
      }
    }
  }
  fclose(in);
  if (!ok) return false;
  if (!has_events) return fail(error, error_size, number, "no '# events:' line");
  const size_t length = strlen(file->events);
  const bool ends_with_packet = length >= 6 && strcmp(file->events + length - 6, "PACKET") == 0 &&
                                (length == 6 || file->events[length - 7] == ' ');
  if (ends_with_packet != file->has_values)
    return fail(error, error_size, number,
                ends_with_packet ? "the last event is PACKET but there is no '# values:' line"
                                 : "a '# values:' line, but the last event is not PACKET");
  return true;
}

/* Adds an event's name to a `# events:` line. */
static void append_event(char* events, size_t events_size, size_t* length, orx_event event) {
  const int n = snprintf(events + *length, events_size - *length, "%s%s", *length ? " " : "",
                         orx_event_name(event));
  if (n > 0 && (size_t)n < events_size - *length) *length += (size_t)n;
}

void swaps_replay(const int64_t* times, size_t count, char* events, size_t events_size,
                  uint8_t* values, size_t* value_count) {
  orx_receiver rx;
  orx_init(&rx, OPTICAL_ZERO_BIT_US, OPTICAL_ONE_BIT_US, OPTICAL_START_US);
  size_t length = 0, position = 0;
  bool packet_last = false;
  events[0] = '\0';
  *value_count = 0;
  for (;;) {
    size_t used = 0;
    const orx_event event = orx_decode_swaps(&rx, times + position, count - position, &used);
    position += used;
    /* Until it reports nothing more: a call with no swaps left still reports a packet that the
     * last swap began (the end of the input counts as silence). NONE: the input is used up and
     * nothing was in progress. */
    if (event == ORX_NONE) break;
    append_event(events, events_size, &length, event);
    packet_last = event == ORX_PACKET;
    if (packet_last) {
      size_t n_values = 0;
      const uint8_t* got = orx_values(&rx, &n_values);
      memcpy(values, got, n_values);
      *value_count = n_values;
    }
  }
  if (!packet_last) *value_count = 0;
}

void swaps_replay_stream(const int64_t* times, size_t count, uint32_t clock_offset_us, char* events,
                         size_t events_size, uint8_t* values, size_t* value_count) {
  orx_stream rx;
  orx_stream_init(&rx, OPTICAL_ZERO_BIT_US, OPTICAL_ONE_BIT_US, OPTICAL_START_US);
  uint8_t received[ORX_MAX_VALUES];
  size_t length = 0;
  bool packet_last = false;
  events[0] = '\0';
  *value_count = 0;
  if (count == 0) return;
  for (size_t i = 0; i <= count; i++) {
    const uint32_t at =
        (uint32_t)((uint64_t)(i < count ? times[i] : times[count - 1]) + clock_offset_us);
    const orx_event event =
        i < count ? orx_stream_swap(&rx, at) : orx_stream_poll(&rx, at + 2u * OPTICAL_ONE_BIT_US);
    /* Bytes 2 .. count + 1 are the values; the checksum byte comes with the verdict. */
    const uint16_t place = (uint16_t)(orx_stream_length(&rx) - 1u);
    if (event == ORX_BYTE && place >= 2) received[place - 2] = orx_stream_byte(&rx);
    if (event == ORX_NONE || event == ORX_BYTE) continue;
    append_event(events, events_size, &length, event);
    packet_last = event == ORX_PACKET;
    if (packet_last) {
      *value_count = place - 2u;
      memcpy(values, received, *value_count);
    }
  }
  if (!packet_last) *value_count = 0;
}

static int compare_names(const void* a, const void* b) { return strcmp(a, b); }

int swaps_list_dir(const char* dir, char (*names)[SWAPS_MAX_NAME], int max) {
  DIR* folder = opendir(dir);
  if (!folder) return -1;
  int count = 0;
  for (struct dirent* entry = readdir(folder); entry && count < max; entry = readdir(folder)) {
    const size_t n = strlen(entry->d_name);
    if (n < 7 || n >= SWAPS_MAX_NAME || strcmp(entry->d_name + n - 6, ".swaps") != 0) continue;
    memcpy(names[count++], entry->d_name, n + 1);
  }
  closedir(folder);
  qsort(names, (size_t)count, sizeof names[0], compare_names);
  return count;
}

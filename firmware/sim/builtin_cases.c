#include "firmware/sim/builtin_cases.h"

#include <stdlib.h>
#include <string.h>

#include "firmware/sim/part.h"
#include "firmware/sim/simulated_part.h"
#include "protocol/optical_protocol.h"
#include "tests/receiver/transmitter_model.h"

typedef enum {
  CHANGE_NONE,
  CHANGE_CANCEL,      /* the swaps stop in the middle of the fourth byte */
  CHANGE_CHECKSUM,    /* the checksum byte is one off */
  CHANGE_SYNC,        /* the first byte is not the sync byte */
  CHANGE_NOISE,       /* a 2 ms pulse inside every fifth interval */
  CHANGE_BURST,       /* 40 edges 20 us apart in the third byte: more than the swap queue holds */
  CHANGE_SAME_TIME,   /* one swap of the sync byte twice, at the same microsecond */
  CHANGE_STRAY,       /* no packet: a few swaps far apart, as a hand or the window opening */
  CHANGE_TWO_RUNS,    /* a good run, then the same run with a bad checksum: the first one stays */
  CHANGE_AT_WRAP,     /* the whole run moved so that one swap comes just before the timer wraps */
  CHANGE_WORN_VALUE,  /* the EEPROM cell for the second value does not keep what it is given */
  CHANGE_WORN_MARKER, /* the same for the commit marker */
  /* The interval after bit 0 (a zero) or bit 1 (a one) of the count byte 2 made jitter_us long:
   * the edges of the receiver's window and its threshold, to the microsecond. */
  CHANGE_ZERO_BIT_LENGTH,
  CHANGE_ONE_BIT_LENGTH,
} change;

/* The receiver's window and threshold (docs/protocol.md). */
#define MARGIN_US ((OPTICAL_ONE_BIT_US - OPTICAL_ZERO_BIT_US) / 2)
#define WINDOW_LOW_US (OPTICAL_ZERO_BIT_US - MARGIN_US)
#define WINDOW_HIGH_US (OPTICAL_ONE_BIT_US + MARGIN_US)
#define THRESHOLD_US (OPTICAL_ZERO_BIT_US + MARGIN_US)

/* The values the tool sends for the typed 12 300 -1 0 255 and an empty box. */
#define SIX_VALUES 0x0C, 0x2C, 0xFF, 0x00, 0xFF, 0x00

typedef struct {
  const char* name;
  uint8_t values[ORX_MAX_VALUES];
  int count; /* -1: ORX_MAX_VALUES values of a pattern, -2: one fewer */
  change change;
  int64_t jitter_us; /* CHANGE_AT_WRAP: how long before the wrap the swap comes;
                      * CHANGE_..._BIT_LENGTH: the interval's length */
  old_settings old;
  shown intended;
} builtin_case;

/* One case a line. */
/* clang-format off */
static const builtin_case builtin_cases[] = {
  {"no settings",                       {0},                   0, CHANGE_NONE,      0, OLD_IN_SLOT0,      SHOWN_SUCCESS},
  {"one setting",                       {0x2A},                1, CHANGE_NONE,      0, OLD_IN_SLOT0,      SHOWN_SUCCESS},
  {"values 0 255 300 -1",               {0x00, 0xFF, 0x2C, 0xFF}, 4, CHANGE_NONE,   0, OLD_IN_SLOT0,      SHOWN_SUCCESS},
  {"253 settings",                      {0},                  -1, CHANGE_NONE,      0, OLD_IN_SLOT0,      SHOWN_SUCCESS},
  {"252 settings (a 256-byte slot)",    {0},                  -2, CHANGE_NONE,      0, OLD_IN_SLOT1_WRAP, SHOWN_SUCCESS},
  {"first programming (erased EEPROM)", {0x07, 0x80},          2, CHANGE_NONE,      0, OLD_NONE,          SHOWN_SUCCESS},
  {"sequence number wraps",             {0x01},                1, CHANGE_NONE,      0, OLD_IN_SLOT1_WRAP, SHOWN_SUCCESS},
  {"after a cut write: stored",         {0x01},                1, CHANGE_NONE,      0, OLD_TORN_NEWER,    SHOWN_SUCCESS},
  {"after a cut write: old kept",       {0x0C, 0x2C, 0xFF},    3, CHANGE_CHECKSUM,  0, OLD_TORN_NEWER,    SHOWN_FAILURE},
  {"jitter 20 ms",                      {SIX_VALUES},          6, CHANGE_NONE,  20000, OLD_IN_SLOT0,      SHOWN_SUCCESS},
  {"jitter 40 ms",                      {SIX_VALUES},          6, CHANGE_NONE,  40000, OLD_IN_SLOT0,      SHOWN_FAILURE},
  {"cancelled mid-byte",                {0x0C, 0x2C, 0xFF},    3, CHANGE_CANCEL,    0, OLD_IN_SLOT0,      SHOWN_FAILURE},
  {"bad checksum",                      {0x0C, 0x2C, 0xFF},    3, CHANGE_CHECKSUM,  0, OLD_IN_SLOT0,      SHOWN_FAILURE},
  {"wrong sync byte",                   {0x0C, 0x2C, 0xFF},    3, CHANGE_SYNC,      0, OLD_IN_SLOT0,      SHOWN_FAILURE},
  {"2 ms noise pulses",                 {0x0C, 0x2C, 0xFF},    3, CHANGE_NOISE,     0, OLD_IN_SLOT0,      SHOWN_FAILURE},
  {"two swaps at the same microsecond", {0x0C, 0x2C, 0xFF},    3, CHANGE_SAME_TIME, 0, OLD_IN_SLOT0,      SHOWN_FAILURE},
  {"zero bit at the window's low end",  {0x12, 0x34}, 2, CHANGE_ZERO_BIT_LENGTH, WINDOW_LOW_US,      OLD_IN_SLOT0, SHOWN_SUCCESS},
  {"zero bit 1 us below the window",    {0x12, 0x34}, 2, CHANGE_ZERO_BIT_LENGTH, WINDOW_LOW_US - 1,  OLD_IN_SLOT0, SHOWN_FAILURE},
  {"zero bit 1 us below the threshold", {0x12, 0x34}, 2, CHANGE_ZERO_BIT_LENGTH, THRESHOLD_US - 1,   OLD_IN_SLOT0, SHOWN_SUCCESS},
  {"one bit at the threshold",          {0x12, 0x34}, 2, CHANGE_ONE_BIT_LENGTH,  THRESHOLD_US,       OLD_IN_SLOT0, SHOWN_SUCCESS},
  {"one bit 1 us below the threshold",  {0x12, 0x34}, 2, CHANGE_ONE_BIT_LENGTH,  THRESHOLD_US - 1,   OLD_IN_SLOT0, SHOWN_FAILURE},
  {"one bit at the window's high end",  {0x12, 0x34}, 2, CHANGE_ONE_BIT_LENGTH,  WINDOW_HIGH_US,     OLD_IN_SLOT0, SHOWN_SUCCESS},
  {"one bit 1 us above the window",     {0x12, 0x34}, 2, CHANGE_ONE_BIT_LENGTH,  WINDOW_HIGH_US + 1, OLD_IN_SLOT0, SHOWN_FAILURE},
  {"burst of 40 edges 20 us apart",     {0x0C, 0x2C, 0xFF},    3, CHANGE_BURST,     0, OLD_IN_SLOT0,      SHOWN_FAILURE},
  {"stray edges only",                  {0},                   0, CHANGE_STRAY,     0, OLD_IN_SLOT0,      SHOWN_NOTHING},
  {"good run then bad run",             {0x05, 0x06},          2, CHANGE_TWO_RUNS,  0, OLD_IN_SLOT0,      SHOWN_FAILURE},
  /* The sensor interrupt reads the counter just after it wrapped, before the overflow interrupt
   * (lower priority) has counted the wrap. */
  {"swap 0 us before timer wrap",       {0x0C, 0x2C},          2, CHANGE_AT_WRAP,   0, OLD_IN_SLOT0,      SHOWN_SUCCESS},
  {"swap 1 us before timer wrap",       {0x0C, 0x2C},          2, CHANGE_AT_WRAP,   1, OLD_IN_SLOT0,      SHOWN_SUCCESS},
  {"swap 2 us before timer wrap",       {0x0C, 0x2C},          2, CHANGE_AT_WRAP,   2, OLD_IN_SLOT0,      SHOWN_SUCCESS},
  {"swap 3 us before timer wrap",       {0x0C, 0x2C},          2, CHANGE_AT_WRAP,   3, OLD_IN_SLOT0,      SHOWN_SUCCESS},
  /* The new set goes to slot 1 (the old settings are in slot 0). */
  {"worn EEPROM cell (a value)",        {0x0C, 0x2C, 0xFF},    3, CHANGE_WORN_VALUE,  0, OLD_IN_SLOT0,    SHOWN_FAILURE},
  {"worn EEPROM cell (commit marker)",  {0x0C, 0x2C, 0xFF},    3, CHANGE_WORN_MARKER, 0, OLD_IN_SLOT0,    SHOWN_FAILURE},
};
/* clang-format on */

/* The cycle of the timer's first overflow: the firmware starts the timer at a fixed point after
 * reset, so this fixes the phase of every later wrap. */
static avr_cycle_count_t timer_phase(elf_firmware_t* firmware) {
  static avr_cycle_count_t phase;
  if (phase == 0) {
    timeline none = {0};
    eeprom_image erased;
    image_old(&erased, OLD_NONE);
    run_result result;
    expectation nothing;
    memset(&nothing, 0, sizeof nothing);
    if (run_firmware(firmware, &none, &erased, &nothing, -1, &result))
      phase = result.first_overflow;
  }
  return phase;
}

/* Moves the run so that its swap `index` comes `before_us` microseconds (and less than one
 * more) before a wrap of the timer. */
static void move_to_wrap(timeline* line, size_t index, int64_t before_us, avr_cycle_count_t phase) {
  const avr_cycle_count_t at = us_to_cycle(line->times[index]);
  const avr_cycle_count_t wrap_cycles = the_part()->timer_wrap_cycles;
  avr_cycle_count_t wrap = phase;
  while (wrap < at + wrap_cycles) wrap += wrap_cycles;
  const int64_t shift_us = cycles_to_us(wrap - at) - before_us;
  for (size_t i = 0; i < line->count; i++) line->times[i] += shift_us;
}

static void build_case(elf_firmware_t* firmware, const builtin_case* c, timeline* line) {
  uint8_t values[ORX_MAX_VALUES];
  size_t count = c->count < 0 ? (size_t)(ORX_MAX_VALUES + 1 + c->count) : (size_t)c->count;
  for (size_t i = 0; i < count; i++)
    values[i] = c->count < 0 ? (uint8_t)(i * 37u + 11u) : c->values[i];
  uint8_t packet[ORX_MAX_PACKET];
  const size_t length = transmitter_make_packet(packet, values, count);

  switch (c->change) {
    case CHANGE_NONE:
    case CHANGE_WORN_VALUE:
    case CHANGE_WORN_MARKER:
      send_bytes(line, OPTICAL_START_US, packet, length);
      break;
    case CHANGE_CANCEL:
      send_bytes(line, OPTICAL_START_US, packet, length);
      line->count = 3 * OPTICAL_SWAPS_PER_BYTE + 5;
      break;
    case CHANGE_CHECKSUM:
      packet[length - 1] = (uint8_t)(packet[length - 1] + 1u);
      send_bytes(line, OPTICAL_START_US, packet, length);
      break;
    case CHANGE_SYNC:
      packet[0] ^= 0x01u;
      send_bytes(line, OPTICAL_START_US, packet, length);
      break;
    case CHANGE_NOISE: {
      timeline clean = {0};
      send_bytes(&clean, OPTICAL_START_US, packet, length);
      for (size_t i = 0; i < clean.count; i++) {
        push(line, clean.times[i]);
        if (i % 5 == 4 && i + 1 < clean.count) {
          push(line, clean.times[i] + 10000);
          push(line, clean.times[i] + 12000);
        }
      }
      free(clean.times);
      break;
    }
    case CHANGE_BURST: {
      send_bytes(line, OPTICAL_START_US, packet, length);
      const size_t at = 2 * OPTICAL_SWAPS_PER_BYTE + 3;
      timeline burst = {0};
      for (size_t i = 0; i < line->count; i++) {
        push(&burst, line->times[i]);
        for (int k = 1; i == at && k <= 40; k++) push(&burst, line->times[i] + 20 * k);
      }
      free(line->times);
      *line = burst;
      break;
    }
    case CHANGE_ZERO_BIT_LENGTH:
    case CHANGE_ONE_BIT_LENGTH: {
      send_bytes(line, OPTICAL_START_US, packet, length);
      /* Swap 1 of a byte carries bit 0; the interval after it is that bit's. */
      const size_t at = OPTICAL_SWAPS_PER_BYTE + (c->change == CHANGE_ZERO_BIT_LENGTH ? 1 : 2);
      const int64_t stretch = c->jitter_us - (line->times[at + 1] - line->times[at]);
      for (size_t i = at + 1; i < line->count; i++) line->times[i] += stretch;
      return;
    }
    case CHANGE_SAME_TIME: {
      send_bytes(line, OPTICAL_START_US, packet, length);
      const int64_t twice = line->times[4];
      push(line, 0); /* room for one more */
      memmove(line->times + 5, line->times + 4, (line->count - 5) * sizeof *line->times);
      line->times[4] = twice;
      break;
    }
    case CHANGE_STRAY:
      /* One swap alone, then three close together: never a byte. */
      push(line, OPTICAL_START_US);
      push(line, OPTICAL_START_US + 5 * OPTICAL_ONE_BIT_US);
      push(line, OPTICAL_START_US + 5 * OPTICAL_ONE_BIT_US + OPTICAL_START_US);
      push(line, OPTICAL_START_US + 5 * OPTICAL_ONE_BIT_US + 2 * OPTICAL_START_US);
      break;
    case CHANGE_TWO_RUNS: {
      const int64_t end = send_bytes(line, OPTICAL_START_US, packet, length);
      packet[length - 1] = (uint8_t)(packet[length - 1] + 1u);
      /* The tool's countdown between runs is far longer than idle. */
      send_bytes(line, end + OPTICAL_COUNTDOWN_SECONDS * US_PER_S, packet, length);
      break;
    }
    case CHANGE_AT_WRAP:
      send_bytes(line, OPTICAL_START_US, packet, length);
      /* A swap of the count byte: the one before it sets the interval it ends. */
      move_to_wrap(line, OPTICAL_SWAPS_PER_BYTE + 4, c->jitter_us, timer_phase(firmware));
      return;
  }
  add_jitter(line, c->jitter_us, 1);
}

void run_builtin(elf_firmware_t* firmware, tally* total) {
  for (size_t i = 0; i < sizeof builtin_cases / sizeof builtin_cases[0]; i++) {
    const builtin_case* c = &builtin_cases[i];
    timeline line = {0};
    build_case(firmware, c, &line);
    /* A part whose slots hold fewer settings than the format's 253 must refuse the largest. */
    const bool too_many = c->count == -1 && part_capacity() < ORX_MAX_VALUES;
    const uint16_t spare_slot = SETTINGS_SLOT_BASE(1, the_part()->slot_size);
    const setup how = {
        .old = c->old,
        .intended = too_many ? SHOWN_FAILURE : c->intended,
        .worn_address = c->change == CHANGE_WORN_VALUE    ? spare_slot + SETTINGS_OFFSET_VALUES + 1
                        : c->change == CHANGE_WORN_MARKER ? spare_slot + SETTINGS_OFFSET_MARKER
                                                          : -1};
    play(firmware, total, c->name, &line, &how);
    free(line.times);
  }
}

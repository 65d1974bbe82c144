/*
 * Runs the settings firmware on a simulated ATmega328P and plays swap timelines at its sensor
 * pin, then judges what it stored in EEPROM and showed on its LEDs.
 *
 *   fwsim FIRMWARE.elf [--builtin] [--file F.swaps]... [--dir DIR]... [--jitter-us N]
 *         [--seed S] [--skip-missing]
 *
 * --builtin runs the table of generated cases below. --file and --dir play `.swaps` files (every
 * `*.swaps` in DIR, in name order); --jitter-us N moves every interval of those files by a random
 * amount in [-N, N] (seeded by --seed, so a run repeats). --skip-missing turns a missing file or
 * an empty folder into a skip (exit 77) instead of an error.
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

#include <dirent.h>
#include <errno.h>
#include <inttypes.h>
#include <simavr/avr_eeprom.h>
#include <simavr/avr_ioport.h>
#include <simavr/sim_avr.h>
#include <simavr/sim_elf.h>
#include <simavr/sim_irq.h>
#include <stdarg.h>
#include <stdbool.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include "firmware/avr/settings_record.h"
#include "protocol/optical_protocol.h"
#include "receiver/optical_receiver.h"
#include "tests/receiver/transmitter_model.h"

#define MCU_NAME "atmega328p"
#define CYCLES_PER_US 16u
#define MCU_HZ (CYCLES_PER_US * 1000u * 1000u)
#define RAM_BYTES 2048u
#define US_PER_S (1000 * 1000LL)
/* The firmware boots and sets up (well under a millisecond) before the run starts. */
#define BOOT_US (US_PER_S / 50)
/* Silence after the last swap: idle, a poll, and a full EEPROM write (about 3.4 ms a byte). */
#define TAIL_US (2 * US_PER_S)
/* Sensor on PD2 (INT0); success LED on PB5, failure LED on PB4. */
#define SENSOR_PORT 'D'
#define SENSOR_PIN 2
#define LED_PORT 'B'
#define LED_SUCCESS_PIN 5
#define LED_FAILURE_PIN 4
/* Timer1's overflow interrupt on the ATmega328P, and the cycles between two overflows
 * (65536 ticks of F_CPU / 8). */
#define TIMER1_OVF_VECTOR 13
#define TIMER1_WRAP_CYCLES (65536u * 8u)

typedef enum { SHOWN_NOTHING, SHOWN_SUCCESS, SHOWN_FAILURE, SHOWN_BOTH } shown;
static const char* shown_name(shown s) {
  static const char* const names[] = {"nothing", "success", "failure", "both LEDs"};
  return names[s];
}

/* ---- Timelines ------------------------------------------------------------------------------ */

typedef struct {
  int64_t* times;
  size_t count, capacity;
} timeline;

static void push(timeline* line, int64_t time_us) {
  if (line->count == line->capacity) {
    line->capacity = line->capacity ? 2 * line->capacity : 1024;
    line->times = realloc(line->times, line->capacity * sizeof *line->times);
    if (!line->times) {
      perror("fwsim");
      exit(2);
    }
  }
  line->times[line->count++] = time_us;
}

/* A small seeded generator (splitmix64), so that a jittered case is the same on every run. */
static uint64_t next_random(uint64_t* state) {
  uint64_t z = (*state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

/* Moves every interval by a random amount in [-jitter_us, jitter_us]; time never runs back and
 * two swaps never share a microsecond (the sensor could not tell them apart). */
static void add_jitter(timeline* line, int64_t jitter_us, uint64_t seed) {
  if (jitter_us <= 0 || line->count < 2) return;
  uint64_t state = seed;
  int64_t previous_in = line->times[0];
  for (size_t i = 1; i < line->count; i++) {
    const int64_t interval = line->times[i] - previous_in;
    previous_in = line->times[i];
    const int64_t shift =
        (int64_t)(next_random(&state) % (uint64_t)(2 * jitter_us + 1)) - jitter_us;
    int64_t moved = interval + shift;
    if (moved < 1) moved = 1;
    line->times[i] = line->times[i - 1] + moved;
  }
}

/* The transmitter: bytes as swap times, the first swap (a start symbol) at time_us. Returns the
 * time after the last byte's gap. */
static int64_t send_bytes(timeline* line, int64_t time_us, const uint8_t* bytes, size_t count) {
  int64_t times[OPTICAL_MAX_PACKET * OPTICAL_SWAPS_PER_BYTE];
  if (count == 0) return time_us;
  const int64_t last = transmitter_swap_times(times, time_us, bytes, count);
  for (size_t i = 0; i < count * OPTICAL_SWAPS_PER_BYTE; i++) push(line, times[i]);
  return last + OPTICAL_START_US;
}

/* ---- What the firmware should do, by the reference receiver --------------------------------- */

typedef struct {
  size_t count;
  uint8_t values[ORX_MAX_VALUES];
} setting_set;

/* The packets stored last, most recent at (stored - 1) % KEPT_SETS. */
#define KEPT_SETS 8

typedef struct {
  shown leds;
  int stored; /* packets stored during the run */
  setting_set sets[KEPT_SETS];
  char events[256]; /* the events orx_decode_swaps gives, as a file's `# events:` line has them */
  /* An EEPROM cell does not keep what is written: the settings before the run must stay in
   * force, though the slot that failed to take the new ones has changed. */
  bool worn_cell;
} expectation;

/* The set stored `back` packets before the last one (0: the last), NULL if there is none. */
static const setting_set* stored_set(const expectation* want, int back) {
  if (back >= want->stored || back >= KEPT_SETS) return NULL;
  return &want->sets[(want->stored - 1 - back) % KEPT_SETS];
}

/* What the firmware does with an event (handle() in firmware/avr/main.c), counting the bytes of
 * the packet in progress from the events as it does. */
static void apply(expectation* want, size_t* packet_bytes, orx_receiver* rx, orx_event event) {
  if (event == ORX_NONE) return;
  const size_t bytes = *packet_bytes;
  *packet_bytes = event == ORX_BYTE ? bytes + 1 : 0;
  if (event == ORX_BYTE && bytes == 0) {
    want->leds = SHOWN_NOTHING;
  } else if (event == ORX_PACKET) {
    setting_set* set = &want->sets[want->stored % KEPT_SETS];
    const uint8_t* values = orx_values(rx, &set->count);
    memcpy(set->values, values, set->count);
    want->stored++;
    want->leds = SHOWN_SUCCESS;
  } else if (event == ORX_ERR_TRUNCATED && bytes == 0) {
    /* stray edges */
  } else if (event >= ORX_ERR_INTERVAL) {
    want->leds = SHOWN_FAILURE;
  }
}

static void expect(const timeline* line, expectation* want) {
  memset(want, 0, sizeof *want);
  orx_receiver rx;
  orx_init(&rx, OPTICAL_ZERO_BIT_US, OPTICAL_ONE_BIT_US, OPTICAL_START_US);
  size_t packet_bytes = 0;
  for (size_t i = 0; i < line->count; i++)
    apply(want, &packet_bytes, &rx, orx_feed_swap(&rx, line->times[i]));
  if (line->count > 0)
    apply(want, &packet_bytes, &rx,
          orx_poll(&rx, line->times[line->count - 1] + 2 * OPTICAL_ONE_BIT_US));

  orx_init(&rx, OPTICAL_ZERO_BIT_US, OPTICAL_ONE_BIT_US, OPTICAL_START_US);
  /* Until it reports nothing more: a call with no swaps left still reports a packet that the
   * last swap began (the end of the input counts as silence). */
  size_t done = 0;
  for (;;) {
    size_t used = 0;
    const orx_event event = orx_decode_swaps(&rx, line->times + done, line->count - done, &used);
    done += used;
    if (event == ORX_NONE) break;
    const size_t have = strlen(want->events);
    snprintf(want->events + have, sizeof want->events - have, "%s%s", have ? " " : "",
             orx_event_name(event));
  }
}

/* ---- EEPROM contents ---------------------------------------------------------------------- */

typedef struct {
  uint8_t bytes[SETTINGS_EEPROM_SIZE];
} eeprom_image;

static uint8_t image_read(uint16_t address, void* context) {
  return ((const eeprom_image*)context)->bytes[address];
}

/* A committed record in `slot`, as the firmware writes it. */
static void image_put_record(eeprom_image* image, uint8_t slot, uint8_t sequence,
                             const uint8_t* values, uint8_t count) {
  uint8_t* record = image->bytes + SETTINGS_SLOT_BASE(slot);
  record[SETTINGS_OFFSET_SEQUENCE] = sequence;
  record[SETTINGS_OFFSET_COUNT] = count;
  memcpy(record + SETTINGS_OFFSET_VALUES, values, count);
  record[SETTINGS_OFFSET_CHECK] = settings_slot_check(slot, image_read, image);
  record[SETTINGS_OFFSET_MARKER] = SETTINGS_COMMITTED;
}

/* The EEPROM a case starts from: the "old settings" the firmware must keep when a run fails. */
typedef enum {
  OLD_IN_SLOT0,      /* 3 settings in slot 0, sequence 1 */
  OLD_IN_SLOT1_WRAP, /* 3 settings in slot 1, sequence 255, an older record in slot 0 */
  OLD_NONE,          /* erased EEPROM: the device was never programmed */
  OLD_TORN_NEWER,    /* 3 settings in slot 0; slot 1 newer but its check wrong (a cut write) */
} old_settings;

static const uint8_t old_values[] = {0x11, 0x22, 0x33};

static void image_old(eeprom_image* image, old_settings old) {
  memset(image->bytes, 0xFF, sizeof image->bytes);
  if (old == OLD_IN_SLOT0) image_put_record(image, 0, 1, old_values, sizeof old_values);
  if (old == OLD_IN_SLOT1_WRAP) {
    const uint8_t older[] = {0x44};
    image_put_record(image, 0, 254, older, sizeof older);
    image_put_record(image, 1, 255, old_values, sizeof old_values);
  }
  if (old == OLD_TORN_NEWER) {
    const uint8_t newer[] = {0x5A, 0x66};
    image_put_record(image, 0, 1, old_values, sizeof old_values);
    image_put_record(image, 1, 2, newer, sizeof newer);
    image->bytes[SETTINGS_SLOT_BASE(1) + SETTINGS_OFFSET_VALUES + 1] ^= 0x01u;
  }
}

/* Whether the settings the firmware would load from `image` at start are `set` (NULL: none). */
static bool image_holds(const eeprom_image* image, const setting_set* set) {
  const int slot = settings_current_slot(image_read, (void*)image);
  if (slot < 0 || set == NULL) return slot < 0 && set == NULL;
  const uint8_t* record = image->bytes + SETTINGS_SLOT_BASE(slot);
  return record[SETTINGS_OFFSET_COUNT] == set->count &&
         memcmp(record + SETTINGS_OFFSET_VALUES, set->values, set->count) == 0;
}

/* The settings `image` holds, NULL if none. */
static const setting_set* image_settings(const eeprom_image* image, setting_set* set) {
  const int slot = settings_current_slot(image_read, (void*)image);
  if (slot < 0) return NULL;
  const uint8_t* record = image->bytes + SETTINGS_SLOT_BASE(slot);
  set->count = record[SETTINGS_OFFSET_COUNT];
  memcpy(set->values, record + SETTINGS_OFFSET_VALUES, set->count);
  return set;
}

/* Compares the EEPROM after a run with what it should hold; a short reason if it does not. */
static bool judge_eeprom(const eeprom_image* before, const eeprom_image* after,
                         const expectation* want, char* why, size_t why_size) {
  if (want->worn_cell) {
    setting_set old;
    if (image_holds(after, image_settings(before, &old))) return true;
    snprintf(why, why_size, "the settings from before the run are no longer in force");
    return false;
  }
  if (!want->stored) {
    for (size_t i = 0; i < sizeof after->bytes; i++) {
      if (before->bytes[i] != after->bytes[i]) {
        snprintf(why, why_size,
                 "EEPROM changed at 0x%03zx (%02X -> %02X) though nothing valid "
                 "arrived",
                 i, before->bytes[i], after->bytes[i]);
        return false;
      }
    }
    return true;
  }
  const int slot = settings_current_slot(image_read, (void*)after);
  if (slot < 0) {
    snprintf(why, why_size, "no valid settings record in EEPROM");
    return false;
  }
  const setting_set* last = stored_set(want, 0);
  if (!image_holds(after, last)) {
    snprintf(why, why_size, "EEPROM slot %d holds %u settings, expected %zu (or other values)",
             slot, after->bytes[SETTINGS_SLOT_BASE(slot) + SETTINGS_OFFSET_COUNT], last->count);
    return false;
  }
  /* The record it replaced must still be whole in the other slot. */
  if (want->stored > 1) {
    eeprom_image other = *after;
    other.bytes[SETTINGS_SLOT_BASE(slot) + SETTINGS_OFFSET_MARKER] = 0xFF;
    if (!image_holds(&other, stored_set(want, 1))) {
      snprintf(why, why_size, "slot %d does not hold the settings stored before the last",
               1 - slot);
      return false;
    }
    return true;
  }
  const int old_slot = settings_current_slot(image_read, (void*)before);
  if (old_slot >= 0 && old_slot != slot &&
      memcmp(before->bytes + SETTINGS_SLOT_BASE(old_slot),
             after->bytes + SETTINGS_SLOT_BASE(old_slot),
             SETTINGS_OFFSET_VALUES + SETTINGS_MAX_VALUES) != 0) {
    snprintf(why, why_size, "the previous record in slot %d was touched", old_slot);
    return false;
  }
  if (old_slot == slot) {
    snprintf(why, why_size, "the new record overwrote the current one in slot %d", slot);
    return false;
  }
  return true;
}

/* ---- The simulated part ------------------------------------------------------------------- */

typedef struct {
  const timeline* line;
  size_t next;
  uint32_t level;
  avr_irq_t* sensor;
  uint32_t led_success, led_failure;
  avr_cycle_count_t first_overflow; /* cycle at which Timer1 first overflowed, 0 before */
  avr_t* avr;
  /* Power cuts: after every EEPROM byte written, what the firmware would load if the power
   * failed right then must be the settings before the run or a packet of the run. */
  const setting_set* old;  /* the settings before the run, NULL if none */
  const expectation* want; /* the packets of the run */
  int eeprom_writes;
  char torn[200];   /* the first state that was neither, "" if none */
  int worn_address; /* the EEPROM cell that keeps bit 0 of what it is given inverted, or -1 */
} run_state;

/* EECR and EEARL/EEARH on the ATmega328P (data space addresses), and EECR's write-enable bit. */
#define EECR_ADDRESS 0x3F
#define EEARL_ADDRESS 0x41
#define EEARH_ADDRESS 0x42
#define EECR_EEPE 0x02

/* Called after simavr's own EEPROM module has handled the write to EECR. */
static void eeprom_control_written(avr_t* avr, avr_io_addr_t address, uint8_t value, void* param) {
  (void)address;
  run_state* run = param;
  if (!(value & EECR_EEPE)) return;
  run->eeprom_writes++;
  eeprom_image now;
  avr_eeprom_desc_t desc = {.ee = now.bytes, .offset = 0, .size = sizeof now.bytes};
  avr_ioctl(avr, AVR_IOCTL_EEPROM_GET, &desc);
  const int written = avr->data[EEARL_ADDRESS] | avr->data[EEARH_ADDRESS] << 8;
  if (written == run->worn_address) {
    now.bytes[written] ^= 0x01u;
    desc = (avr_eeprom_desc_t){.ee = now.bytes + written, .offset = (uint16_t)written, .size = 1};
    avr_ioctl(avr, AVR_IOCTL_EEPROM_SET, &desc);
  }
  if (run->torn[0]) return;
  if (image_holds(&now, run->old)) return;
  for (int back = 0; back < run->want->stored; back++)
    if (image_holds(&now, stored_set(run->want, back))) return;
  setting_set found;
  const setting_set* held = image_settings(&now, &found);
  if (held)
    snprintf(run->torn, sizeof run->torn,
             "a power cut after EEPROM write %d would leave %zu settings that are neither the old "
             "ones nor a received set",
             run->eeprom_writes, held->count);
  else
    snprintf(run->torn, sizeof run->torn,
             "a power cut after EEPROM write %d would leave no settings at all",
             run->eeprom_writes);
}

/* simavr sleeps in real time while the firmware sleeps; here simulated time just jumps. */
static void sleep_not(avr_t* avr, avr_cycle_count_t how_long) {
  (void)avr;
  (void)how_long;
}

static avr_cycle_count_t us_to_cycle(int64_t time_us) {
  return (avr_cycle_count_t)(BOOT_US + time_us) * CYCLES_PER_US;
}

/* Toggles the sensor at each swap time, then schedules the next swap. Swaps that share a
 * microsecond are played a microsecond apart: a pin cannot change twice at once. */
static avr_cycle_count_t swap_due(avr_t* avr, avr_cycle_count_t when, void* param) {
  (void)avr;
  run_state* run = param;
  run->level ^= 1u;
  avr_raise_irq(run->sensor, run->level);
  run->next++;
  if (run->next >= run->line->count) return 0;
  const avr_cycle_count_t due = us_to_cycle(run->line->times[run->next]);
  return due > when ? due : when + CYCLES_PER_US;
}

static void overflow_pending(avr_irq_t* irq, uint32_t value, void* param) {
  (void)irq;
  run_state* run = param;
  if (value && run->first_overflow == 0) run->first_overflow = run->avr->cycle;
}

static void led_changed(avr_irq_t* irq, uint32_t value, void* param) {
  (void)irq;
  *(uint32_t*)param = value;
}

typedef struct {
  shown leds;
  eeprom_image eeprom;
  double simulated_s;
  int stack_bytes; /* the deepest the stack went */
  avr_cycle_count_t first_overflow;
  int eeprom_writes;
  char torn[200];
  /* The settings in force as the firmware holds them in RAM at the end (`settings` and
   * `settings_count` in main.c); found is false if the ELF lacks those symbols. */
  bool ram_found;
  setting_set ram;
} run_result;

/* The data-space address of a variable of the firmware, -1 if the ELF does not name it. */
static int data_address(const elf_firmware_t* firmware, const char* name) {
  for (uint32_t i = 0; i < firmware->symbolcount; i++)
    if (strcmp(firmware->symbol[i]->symbol, name) == 0 && firmware->symbol[i]->addr >= 0x800000u)
      return (int)(firmware->symbol[i]->addr - 0x800000u);
  return -1;
}

static bool run_firmware(elf_firmware_t* firmware, const timeline* line, const eeprom_image* old,
                         const expectation* want, int worn_address, run_result* result) {
  avr_t* avr = avr_make_mcu_by_name(MCU_NAME);
  if (!avr) {
    fprintf(stderr, "fwsim: simavr does not know %s\n", MCU_NAME);
    return false;
  }
  avr_init(avr);
  avr->log = LOG_ERROR;
  avr->frequency = MCU_HZ;
  avr_load_firmware(avr, firmware);
  avr->frequency = MCU_HZ;
  avr->sleep = sleep_not;

  avr_eeprom_desc_t desc = {.ee = (uint8_t*)old->bytes, .offset = 0, .size = sizeof old->bytes};
  avr_ioctl(avr, AVR_IOCTL_EEPROM_SET, &desc);

  setting_set old_set;
  run_state run = {
      .line = line, .level = 1, .avr = avr, .want = want, .worn_address = worn_address};
  run.old = image_settings(old, &old_set);
  avr_register_io_write(avr, EECR_ADDRESS, eeprom_control_written, &run);
  run.sensor = avr_io_getirq(avr, AVR_IOCTL_IOPORT_GETIRQ(SENSOR_PORT), SENSOR_PIN);
  avr_raise_irq(run.sensor, run.level);
  avr_irq_register_notify(avr_io_getirq(avr, AVR_IOCTL_IOPORT_GETIRQ(LED_PORT), LED_SUCCESS_PIN),
                          led_changed, &run.led_success);
  avr_irq_register_notify(avr_io_getirq(avr, AVR_IOCTL_IOPORT_GETIRQ(LED_PORT), LED_FAILURE_PIN),
                          led_changed, &run.led_failure);
  avr_irq_register_notify(avr_get_interrupt_irq(avr, TIMER1_OVF_VECTOR) + AVR_INT_IRQ_PENDING,
                          overflow_pending, &run);
  if (line->count > 0)
    avr_cycle_timer_register(avr, us_to_cycle(line->times[0]) - avr->cycle, swap_due, &run);

  const int64_t last = line->count ? line->times[line->count - 1] : 0;
  const avr_cycle_count_t end = us_to_cycle(last + TAIL_US);
  bool ok = true;
  uint16_t lowest_sp = avr->ramend;
  while (avr->cycle < end) {
    const int state = avr_run(avr);
    const uint16_t sp = (uint16_t)(avr->data[R_SPL] | avr->data[R_SPH] << 8);
    if (sp < lowest_sp) lowest_sp = sp;
    if (state == cpu_Done || state == cpu_Crashed) {
      fprintf(stderr, "fwsim: the firmware stopped (state %d) at %.3f s\n", state,
              (double)avr->cycle / MCU_HZ);
      ok = false;
      break;
    }
  }

  result->simulated_s = (double)avr->cycle / MCU_HZ;
  result->stack_bytes = avr->ramend - lowest_sp;
  result->first_overflow = run.first_overflow;
  result->eeprom_writes = run.eeprom_writes;
  memcpy(result->torn, run.torn, sizeof result->torn);
  const int values_at = data_address(firmware, "settings");
  const int count_at = data_address(firmware, "settings_count");
  result->ram_found = values_at >= 0 && count_at >= 0;
  if (result->ram_found) {
    result->ram.count = avr->data[count_at];
    if (result->ram.count > ORX_MAX_VALUES) result->ram.count = ORX_MAX_VALUES;
    memcpy(result->ram.values, avr->data + values_at, result->ram.count);
  }
  result->leds = (shown)((run.led_success ? SHOWN_SUCCESS : SHOWN_NOTHING) |
                         (run.led_failure ? SHOWN_FAILURE : SHOWN_NOTHING));
  desc = (avr_eeprom_desc_t){
      .ee = result->eeprom.bytes, .offset = 0, .size = sizeof result->eeprom.bytes};
  avr_ioctl(avr, AVR_IOCTL_EEPROM_GET, &desc);
  avr_terminate(avr);
  free(avr);
  return ok;
}

/* ---- Cases -------------------------------------------------------------------------------- */

typedef struct {
  int passed, failed;
  int stack_bytes; /* the deepest stack of any case */
} tally;

static double wall_ms_since(const struct timespec* start) {
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return (double)(now.tv_sec - start->tv_sec) * 1e3 + (double)(now.tv_nsec - start->tv_nsec) / 1e6;
}

/* How a timeline is played and judged. */
typedef struct {
  old_settings old;
  shown intended;                 /* what the case was built to show; SHOWN_BOTH: whatever the
                                   * reference receiver says */
  const char* file_events;        /* a file's `# events:` line, NULL for none */
  const setting_set* file_values; /* a file's `# values:` line, NULL for none */
  int worn_address;               /* an EEPROM cell that does not keep its value, -1 for none */
} setup;

/* Plays one timeline and prints its line of the report. */
static void play(elf_firmware_t* firmware, tally* total, const char* name, const timeline* line,
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
  bool ram_ok = result.ram_found && result.ram.count == in_force->count &&
                memcmp(result.ram.values, in_force->values, in_force->count) == 0;
  if (!result.ram_found)
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
  CHANGE_AT_WRAP,     /* the whole run moved so that one swap comes just before Timer1 wraps */
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
  int count; /* -1: ORX_MAX_VALUES values of a pattern */
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

/* The cycle of Timer1's first overflow: the firmware starts the timer at a fixed point after
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
 * more) before a wrap of Timer1. */
static void move_to_wrap(timeline* line, size_t index, int64_t before_us, avr_cycle_count_t phase) {
  const avr_cycle_count_t at = us_to_cycle(line->times[index]);
  avr_cycle_count_t wrap = phase;
  while (wrap < at + TIMER1_WRAP_CYCLES) wrap += TIMER1_WRAP_CYCLES;
  const int64_t shift_us = (int64_t)((wrap - at) / CYCLES_PER_US) - before_us;
  for (size_t i = 0; i < line->count; i++) line->times[i] += shift_us;
}

static void build_case(elf_firmware_t* firmware, const builtin_case* c, timeline* line) {
  uint8_t values[ORX_MAX_VALUES];
  size_t count = c->count < 0 ? ORX_MAX_VALUES : (size_t)c->count;
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

static void run_builtin(elf_firmware_t* firmware, tally* total) {
  for (size_t i = 0; i < sizeof builtin_cases / sizeof builtin_cases[0]; i++) {
    const builtin_case* c = &builtin_cases[i];
    timeline line = {0};
    build_case(firmware, c, &line);
    const setup how = {.old = c->old,
                       .intended = c->intended,
                       .worn_address = c->change == CHANGE_WORN_VALUE
                                           ? SETTINGS_SLOT_BASE(1) + SETTINGS_OFFSET_VALUES + 1
                                       : c->change == CHANGE_WORN_MARKER
                                           ? SETTINGS_SLOT_BASE(1) + SETTINGS_OFFSET_MARKER
                                           : -1};
    play(firmware, total, c->name, &line, &how);
    free(line.times);
  }
}

/* ---- .swaps files ------------------------------------------------------------------------- */

static void trim(char* text) {
  size_t n = strlen(text);
  while (n > 0 &&
         (text[n - 1] == '\n' || text[n - 1] == '\r' || text[n - 1] == ' ' || text[n - 1] == '\t'))
    text[--n] = '\0';
}

/* Reads a `.swaps` file; false (with a message) if it cannot be read or is malformed. */
static bool read_swaps(const char* path, timeline* line, char* events, size_t events_size,
                       bool* has_values, setting_set* values) {
  FILE* file = fopen(path, "r");
  if (!file) {
    fprintf(stderr, "fwsim: cannot open %s: %s\n", path, strerror(errno));
    return false;
  }
  char text[4096];
  int line_number = 0;
  bool ok = true, has_events = false;
  *has_values = false;
  while (ok && fgets(text, sizeof text, file)) {
    line_number++;
    trim(text);
    const char* p = text;
    while (*p == ' ' || *p == '\t') p++;
    if (*p == '\0') continue;
    if (*p == '#') {
      p++;
      while (*p == ' ') p++;
      if (strncmp(p, "events:", 7) == 0) {
        p += 7;
        while (*p == ' ') p++;
        snprintf(events, events_size, "%s", p);
        has_events = true;
      } else if (strncmp(p, "values:", 7) == 0) {
        *has_values = true;
        values->count = 0;
        char* end = (char*)p + 7;
        for (;;) {
          char* after;
          const unsigned long value = strtoul(end, &after, 16);
          if (after == end) break;
          if (value > 0xFF || values->count == ORX_MAX_VALUES) {
            ok = false;
            break;
          }
          values->values[values->count++] = (uint8_t)value;
          end = after;
        }
        if (ok) {
          while (*end == ' ') end++;
          ok = *end == '\0';
        }
      }
      continue;
    }
    char* end;
    const long long value = strtoll(p, &end, 10);
    if (end == p || *end != '\0' || value < 0 ||
        (line->count && value < line->times[line->count - 1])) {
      ok = false;
      break;
    }
    push(line, value);
  }
  fclose(file);
  if (!ok) fprintf(stderr, "fwsim: %s:%d: not a swap time or a values line\n", path, line_number);
  if (ok && !has_events) {
    fprintf(stderr, "fwsim: %s has no '# events:' line\n", path);
    ok = false;
  }
  return ok;
}

static bool play_file(elf_firmware_t* firmware, tally* total, const char* path, int64_t jitter_us,
                      uint64_t seed) {
  timeline line = {0};
  char events[256] = "";
  bool has_values = false;
  setting_set values;
  memset(&values, 0, sizeof values);
  if (!read_swaps(path, &line, events, sizeof events, &has_values, &values)) {
    free(line.times);
    return false;
  }
  const char* base = strrchr(path, '/');
  base = base ? base + 1 : path;
  char name[128];
  if (jitter_us > 0) {
    add_jitter(&line, jitter_us, seed);
    snprintf(name, sizeof name, "%s +-%" PRId64 " us", base, jitter_us);
    /* Jitter changes what the receiver makes of the file: judge by the reference alone. */
    const setup how = {.old = OLD_IN_SLOT0, .intended = SHOWN_BOTH, .worn_address = -1};
    play(firmware, total, name, &line, &how);
  } else {
    const setup how = {.old = OLD_IN_SLOT0,
                       .intended = SHOWN_BOTH,
                       .file_events = events,
                       .file_values = has_values ? &values : NULL,
                       .worn_address = -1};
    play(firmware, total, base, &line, &how);
  }
  free(line.times);
  return true;
}

static int compare_names(const void* a, const void* b) {
  return strcmp(*(char* const*)a, *(char* const*)b);
}

/* Plays every *.swaps in `folder`, in name order; returns how many there were, -1 on error. */
static int play_folder(elf_firmware_t* firmware, tally* total, const char* folder,
                       int64_t jitter_us, uint64_t seed) {
  DIR* dir = opendir(folder);
  if (!dir) return 0;
  char** names = NULL;
  size_t count = 0;
  struct dirent* entry;
  while ((entry = readdir(dir)) != NULL) {
    const size_t n = strlen(entry->d_name);
    if (n < 7 || strcmp(entry->d_name + n - 6, ".swaps") != 0) continue;
    names = realloc(names, (count + 1) * sizeof *names);
    names[count] = malloc(strlen(folder) + n + 2);
    sprintf(names[count], "%s/%s", folder, entry->d_name);
    count++;
  }
  closedir(dir);
  qsort(names, count, sizeof *names, compare_names);
  int played = 0;
  bool unreadable = false;
  for (size_t i = 0; i < count; i++) {
    if (play_file(firmware, total, names[i], jitter_us, seed))
      played++;
    else
      unreadable = true;
    free(names[i]);
  }
  free(names);
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
          "usage: fwsim FIRMWARE.elf [--builtin] [--file F.swaps]... [--dir DIR]...\n"
          "             [--jitter-us N] [--seed S] [--skip-missing]\n");
  return 2;
}

int main(int argc, char** argv) {
  if (argc < 2) return usage();
  const char* firmware_path = argv[1];
  bool builtin = false, skip_missing = false;
  int64_t jitter_us = 0;
  uint64_t seed = 1;
  /* Options first, so that --jitter-us applies wherever it stands. */
  for (int i = 2; i < argc; i++) {
    if (strcmp(argv[i], "--builtin") == 0) {
      builtin = true;
    } else if (strcmp(argv[i], "--skip-missing") == 0) {
      skip_missing = true;
    } else if (strcmp(argv[i], "--jitter-us") == 0 && i + 1 < argc) {
      jitter_us = strtoll(argv[++i], NULL, 10);
    } else if (strcmp(argv[i], "--seed") == 0 && i + 1 < argc) {
      seed = strtoull(argv[++i], NULL, 10);
    } else if ((strcmp(argv[i], "--file") == 0 || strcmp(argv[i], "--dir") == 0) && i + 1 < argc) {
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
  const unsigned ram_used = firmware.datasize + firmware.bsssize + (unsigned)total.stack_bytes;
  const bool ram_ok = ram_used <= RAM_BYTES * 3 / 4;
  printf("RAM: %u bytes of data and bss, stack at most %d bytes: %u of %u%s\n",
         firmware.datasize + firmware.bsssize, total.stack_bytes, ram_used, RAM_BYTES,
         ram_ok ? "" : ", over three quarters: FAIL");
  printf("%d passed, %d failed, %d of them from files, %.0f ms wall\n", total.passed, total.failed,
         files, wall_ms_since(&start));
  return total.failed || !ram_ok ? 1 : 0;
}

#include "firmware/sim/simulated_part.h"

#include <simavr/avr_eeprom.h>
#include <simavr/avr_ioport.h>
#include <simavr/sim_irq.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "firmware/sim/part.h"

/* The firmware boots and sets up (well under a millisecond) before the run starts. */
#define BOOT_US (US_PER_S / 50)
/* Silence after the last swap: idle, a poll, and a full EEPROM write (about 3.4 ms a byte). */
#define TAIL_US (2 * US_PER_S)

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

/* Called after simavr's own EEPROM module has handled the write to EECR. */
static void eeprom_control_written(avr_t* avr, avr_io_addr_t address, uint8_t value, void* param) {
  (void)address;
  run_state* run = param;
  const part* p = the_part();
  if (!(value & p->eecr_write)) return;
  run->eeprom_writes++;
  eeprom_image now;
  memset(now.bytes, 0xFF, sizeof now.bytes);
  avr_eeprom_desc_t desc = {.ee = now.bytes, .offset = 0, .size = p->eeprom_bytes};
  avr_ioctl(avr, AVR_IOCTL_EEPROM_GET, &desc);
  const int written = avr->data[p->eearl] | avr->data[p->eearh] << 8;
  if (written == run->worn_address) {
    now.bytes[written] ^= 0x01u;
    desc = (avr_eeprom_desc_t){.ee = now.bytes + written, .offset = (uint16_t)written, .size = 1};
    avr_ioctl(avr, AVR_IOCTL_EEPROM_SET, &desc);
  }
  if (run->torn[0]) return;
  /* The marker is erased before any other byte of a slot is written and set after the last: a
   * slot that reads as committed while its record changes is one unlucky check byte away from
   * loading a mixture. */
  const uint16_t offset = (uint16_t)(written % p->slot_size);
  const uint16_t marker = (uint16_t)(written - offset + SETTINGS_OFFSET_MARKER);
  if (offset != SETTINGS_OFFSET_MARKER && now.bytes[marker] == SETTINGS_COMMITTED) {
    snprintf(run->torn, sizeof run->torn,
             "EEPROM write %d changed 0x%03x in a slot that reads as committed", run->eeprom_writes,
             (unsigned)written);
    return;
  }
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

avr_cycle_count_t us_to_cycle(int64_t time_us) {
  return (avr_cycle_count_t)(BOOT_US + time_us) * part_hz() / US_PER_S;
}

int64_t cycles_to_us(avr_cycle_count_t cycles) { return (int64_t)(cycles * US_PER_S / part_hz()); }

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
  return due > when ? due : when + us_to_cycle(1) - us_to_cycle(0);
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

/* The data-space address of a variable of the firmware, -1 if the ELF does not name it. */
static int data_address(const elf_firmware_t* firmware, const char* name) {
  for (uint32_t i = 0; i < firmware->symbolcount; i++)
    if (strcmp(firmware->symbol[i]->symbol, name) == 0 && firmware->symbol[i]->addr >= 0x800000u)
      return (int)(firmware->symbol[i]->addr - 0x800000u);
  return -1;
}

bool run_firmware(elf_firmware_t* firmware, const timeline* line, const eeprom_image* old,
                  const expectation* want, int worn_address, run_result* result) {
  const part* p = the_part();
  avr_t* avr = avr_make_mcu_by_name(p->name);
  if (!avr) {
    fprintf(stderr, "fwsim: simavr does not know %s\n", p->name);
    return false;
  }
  avr_init(avr);
  avr->log = LOG_ERROR;
  avr->frequency = (uint32_t)part_hz();
  avr_load_firmware(avr, firmware);
  avr->frequency = (uint32_t)part_hz();
  avr->sleep = sleep_not;

  avr_eeprom_desc_t desc = {.ee = (uint8_t*)old->bytes, .offset = 0, .size = p->eeprom_bytes};
  avr_ioctl(avr, AVR_IOCTL_EEPROM_SET, &desc);

  setting_set old_set;
  run_state run = {
      .line = line, .level = 1, .avr = avr, .want = want, .worn_address = worn_address};
  run.old = image_settings(old, &old_set);
  avr_register_io_write(avr, p->eecr, eeprom_control_written, &run);
  run.sensor = avr_io_getirq(avr, AVR_IOCTL_IOPORT_GETIRQ(p->sensor_port), p->sensor_pin);
  avr_raise_irq(run.sensor, run.level);
  avr_irq_register_notify(
      avr_io_getirq(avr, AVR_IOCTL_IOPORT_GETIRQ(p->led_port), p->led_success_pin), led_changed,
      &run.led_success);
  avr_irq_register_notify(
      avr_io_getirq(avr, AVR_IOCTL_IOPORT_GETIRQ(p->led_port), p->led_failure_pin), led_changed,
      &run.led_failure);
  avr_irq_register_notify(
      avr_get_interrupt_irq(avr, p->timer_overflow_vector) + AVR_INT_IRQ_PENDING, overflow_pending,
      &run);
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
              (double)avr->cycle / (double)part_hz());
      ok = false;
      break;
    }
  }

  result->simulated_s = (double)avr->cycle / (double)part_hz();
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
  result->eeprom = *old; /* beyond the part's EEPROM: as it was */
  desc = (avr_eeprom_desc_t){.ee = result->eeprom.bytes, .offset = 0, .size = p->eeprom_bytes};
  avr_ioctl(avr, AVR_IOCTL_EEPROM_GET, &desc);
  avr_terminate(avr);
  free(avr);
  return ok;
}

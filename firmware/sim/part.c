#include "firmware/sim/part.h"

#include <string.h>

#include "firmware/avr/settings_record.h"

/* clang-format off */
static const part parts[] = {
  /* firmware/avr: Timer1 at F_CPU / 8 (16 bits), INT0 on PD2, LEDs on PB5 and PB4, settings
   * also in RAM, written only once a packet checks out. */
  {"atmega328p", 16000000u, 2048, 1024, 0x200, 'D', 2, 'B', 5, 4, 13, 65536u * 8u,
   0x3F, 0x41, 0x42, 0x02, true, false},
  /* firmware/attiny85: Timer0 at F_CPU / 8 (8 bits), INT0 on PB2, LEDs on PB0 and PB1, settings
   * in EEPROM only, each value written into the spare slot as it comes. */
  {"attiny85", 8000000u, 512, 512, 0x100, 'B', 2, 'B', 0, 1, 5, 256u * 8u,
   0x3C, 0x3E, 0x3F, 0x02, false, true},
};
/* clang-format on */

static const part* g_part = &parts[0];
static int g_clock_percent = 100;

const part* find_part(const char* name) {
  for (size_t i = 0; i < sizeof parts / sizeof parts[0]; i++)
    if (strcmp(parts[i].name, name) == 0) return &parts[i];
  return NULL;
}

void choose_part(const part* chosen, int percent) {
  g_part = chosen;
  g_clock_percent = percent;
}

const part* the_part(void) { return g_part; }

int clock_percent(void) { return g_clock_percent; }

uint64_t part_hz(void) { return (uint64_t)g_part->nominal_hz * (uint64_t)g_clock_percent / 100u; }

uint16_t part_capacity(void) { return SETTINGS_CAPACITY(g_part->slot_size); }

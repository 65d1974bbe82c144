/*
 * The simulated parts: what fwsim needs to know of each (simavr's name, clock, RAM, EEPROM and its
 * slot layout, pins, timer, EEPROM registers), and the part and clock under test, chosen once by
 * the command line (--part, --clock-percent) for the whole run.
 */
#ifndef FWSIM_PART_H
#define FWSIM_PART_H

#include <stdbool.h>
#include <stdint.h>

typedef struct {
  const char* name;    /* as simavr and avr-gcc's -mmcu know it */
  uint32_t nominal_hz; /* the F_CPU the firmware is built for */
  uint16_t ram_bytes;
  uint16_t eeprom_bytes;
  uint16_t slot_size; /* of each of the two settings slots */
  char sensor_port;   /* the sensor (INT0): port letter and pin */
  int sensor_pin;
  char led_port; /* both LEDs on one port */
  int led_success_pin, led_failure_pin;
  int timer_overflow_vector; /* the timer whose overflows widen the time */
  uint32_t timer_wrap_cycles;
  uint16_t eecr, eearl, eearh; /* data-space addresses of the EEPROM registers */
  uint8_t eecr_write;          /* EECR's bit that starts a write */
  /* The firmware keeps the settings in force in RAM (`settings`, `settings_count`); without, it
   * reads them from EEPROM when needed. */
  bool settings_in_ram;
  /* Values go into the spare slot as they arrive, so a failed run may change that slot (never
   * the one in force); otherwise nothing is written unless a packet checks out. */
  bool writes_while_receiving;
} part;

/* The part of that name, NULL if fwsim does not know it. */
const part* find_part(const char* name);

/* The part under test and its clock in percent of nominal (100: exact; 105: 5 % fast). */
void choose_part(const part* chosen, int clock_percent);
const part* the_part(void);
int clock_percent(void);

/* The cycles per second the part really runs at. */
uint64_t part_hz(void);

/* The most settings a slot of the part under test holds. */
uint16_t part_capacity(void);

#endif /* FWSIM_PART_H */

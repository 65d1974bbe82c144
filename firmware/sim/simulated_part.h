/*
 * The simulated part (part.h): loads the firmware, plays a timeline at its sensor pin, runs it
 * on for a silence, and reports its LEDs, EEPROM, stack depth and the settings it holds in RAM.
 * The part runs at its clock under test, so a clock 5 % fast sees every interval 5 % long.
 * After every EEPROM byte the firmware writes it also works out what a power cut at that moment
 * would leave.
 */
#ifndef FWSIM_SIMULATED_PART_H
#define FWSIM_SIMULATED_PART_H

#include <simavr/sim_avr.h>
#include <simavr/sim_elf.h>
#include <stdbool.h>

#include "firmware/sim/eeprom_image.h"
#include "firmware/sim/oracle.h"
#include "firmware/sim/timeline.h"

typedef struct {
  shown leds;
  eeprom_image eeprom;
  double simulated_s;
  int stack_bytes; /* the deepest the stack went */
  avr_cycle_count_t first_overflow;
  int eeprom_writes;
  char torn[200];
  /* The settings in force as the firmware holds them in RAM at the end (`settings` and
   * `settings_count` in main.c), for a part that keeps them there; found is false if the ELF
   * lacks those symbols. */
  bool ram_found;
  setting_set ram;
} run_result;

/* The cycle at which a swap at time_us (from the run start) reaches the sensor pin. */
avr_cycle_count_t us_to_cycle(int64_t time_us);

/* The microseconds that `cycles` take on the part. */
int64_t cycles_to_us(avr_cycle_count_t cycles);

/* Runs the firmware from reset with `old` in its EEPROM and plays `line`; `want` is what the run
 * should store (for the power-cut checks), `worn_address` an EEPROM cell that keeps bit 0 of what
 * it is given inverted (-1: none). False if the simulation stopped early. */
bool run_firmware(elf_firmware_t* firmware, const timeline* line, const eeprom_image* old,
                  const expectation* want, int worn_address, run_result* result);

#endif /* FWSIM_SIMULATED_PART_H */

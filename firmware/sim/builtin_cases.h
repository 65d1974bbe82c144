/*
 * The generated cases of `fwsim --builtin`: packets of every size, jitter inside and beyond the
 * receiver's tolerance, cancelled runs, bad checksum and sync, noise, stray edges, the window's
 * edges, a swap queue overflow, worn EEPROM cells, swaps at the timer's wrap.
 */
#ifndef FWSIM_BUILTIN_CASES_H
#define FWSIM_BUILTIN_CASES_H

#include <simavr/sim_elf.h>

#include "firmware/sim/runner.h"

/* Plays every generated case. */
void run_builtin(elf_firmware_t* firmware, tally* total);

#endif /* FWSIM_BUILTIN_CASES_H */

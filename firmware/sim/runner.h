/*
 * The runner of fwsim.c: plays one timeline on the simulated part, judges it against the
 * reference receiver and prints its line of the report.
 */
#ifndef FWSIM_RUNNER_H
#define FWSIM_RUNNER_H

#include <simavr/sim_elf.h>

#include "firmware/sim/eeprom_image.h"
#include "firmware/sim/oracle.h"
#include "firmware/sim/timeline.h"

typedef struct {
  int passed, failed;
  int stack_bytes; /* the deepest stack of any case */
} tally;

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
void play(elf_firmware_t* firmware, tally* total, const char* name, const timeline* line,
          const setup* how);

#endif /* FWSIM_RUNNER_H */

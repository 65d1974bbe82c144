/*
 * What the firmware should do with a timeline, worked out by the reference receiver on the host,
 * fed the same swaps the way the firmware feeds them: a packet that checks out is stored and
 * shown as success; any error shows failure and stores nothing, except a cut-off packet without
 * a single byte (stray edges), which shows nothing.
 */
#ifndef FWSIM_ORACLE_H
#define FWSIM_ORACLE_H

#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

#include "firmware/sim/timeline.h"
#include "receiver/optical_receiver.h"

/* What the LEDs show: success, failure. */
typedef enum { SHOWN_NOTHING, SHOWN_SUCCESS, SHOWN_FAILURE, SHOWN_BOTH } shown;
const char* shown_name(shown s);

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
const setting_set* stored_set(const expectation* want, int back);

/* What the firmware should do with `line`, and the events a file's `# events:` line must give,
 * on the part under test at its clock (part.h): a packet with more settings than the part's slot
 * holds is refused. */
void expect(const timeline* line, expectation* want);

#endif /* FWSIM_ORACLE_H */

/*
 * EEPROM images of the simulated part: the settings a case starts from, the settings an image
 * holds as the firmware would load them at start, and the judgement of an image after a run.
 */
#ifndef FWSIM_EEPROM_IMAGE_H
#define FWSIM_EEPROM_IMAGE_H

#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

#include "firmware/avr/settings_record.h"
#include "firmware/sim/oracle.h"

typedef struct {
  uint8_t bytes[SETTINGS_EEPROM_SIZE];
} eeprom_image;

/* The EEPROM a case starts from: the "old settings" the firmware must keep when a run fails. */
typedef enum {
  OLD_IN_SLOT0,      /* 3 settings in slot 0, sequence 1 */
  OLD_IN_SLOT1_WRAP, /* 3 settings in slot 1, sequence 255, an older record in slot 0 */
  OLD_NONE,          /* erased EEPROM: the device was never programmed */
  OLD_TORN_NEWER,    /* 3 settings in slot 0; slot 1 newer but its check wrong (a cut write) */
} old_settings;

/* Fills `image` with the EEPROM a case starts from. */
void image_old(eeprom_image* image, old_settings old);

/* Whether the settings the firmware would load from `image` at start are `set` (NULL: none). */
bool image_holds(const eeprom_image* image, const setting_set* set);

/* The settings `image` holds, NULL if none. */
const setting_set* image_settings(const eeprom_image* image, setting_set* set);

/* Compares the EEPROM after a run with what it should hold; a short reason if it does not. */
bool judge_eeprom(const eeprom_image* before, const eeprom_image* after, const expectation* want,
                  char* why, size_t why_size);

#endif /* FWSIM_EEPROM_IMAGE_H */

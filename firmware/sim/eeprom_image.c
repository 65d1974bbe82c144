#include "firmware/sim/eeprom_image.h"

#include <stdio.h>
#include <string.h>

#include "firmware/sim/part.h"

#define SLOT_SIZE (the_part()->slot_size)

static uint8_t image_read(uint16_t address, void* context) {
  return ((const eeprom_image*)context)->bytes[address];
}

/* A committed record in `slot`, as the firmware writes it. */
static void image_put_record(eeprom_image* image, uint8_t slot, uint8_t sequence,
                             const uint8_t* values, uint8_t count) {
  uint8_t* record = image->bytes + SETTINGS_SLOT_BASE(slot, SLOT_SIZE);
  record[SETTINGS_OFFSET_SEQUENCE] = sequence;
  record[SETTINGS_OFFSET_COUNT] = count;
  memcpy(record + SETTINGS_OFFSET_VALUES, values, count);
  record[SETTINGS_OFFSET_CHECK] = settings_slot_check(slot, SLOT_SIZE, image_read, image);
  record[SETTINGS_OFFSET_MARKER] = SETTINGS_COMMITTED;
}

static const uint8_t old_values[] = {0x11, 0x22, 0x33};

void image_old(eeprom_image* image, old_settings old) {
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
    image->bytes[SETTINGS_SLOT_BASE(1, SLOT_SIZE) + SETTINGS_OFFSET_VALUES + 1] ^= 0x01u;
  }
}

bool image_holds(const eeprom_image* image, const setting_set* set) {
  const int slot = settings_current_slot(SLOT_SIZE, image_read, (void*)image);
  if (slot < 0 || set == NULL) return slot < 0 && set == NULL;
  const uint8_t* record = image->bytes + SETTINGS_SLOT_BASE(slot, SLOT_SIZE);
  return record[SETTINGS_OFFSET_COUNT] == set->count &&
         memcmp(record + SETTINGS_OFFSET_VALUES, set->values, set->count) == 0;
}

const setting_set* image_settings(const eeprom_image* image, setting_set* set) {
  const int slot = settings_current_slot(SLOT_SIZE, image_read, (void*)image);
  if (slot < 0) return NULL;
  const uint8_t* record = image->bytes + SETTINGS_SLOT_BASE(slot, SLOT_SIZE);
  set->count = record[SETTINGS_OFFSET_COUNT];
  memcpy(set->values, record + SETTINGS_OFFSET_VALUES, set->count);
  return set;
}

bool judge_eeprom(const eeprom_image* before, const eeprom_image* after, const expectation* want,
                  char* why, size_t why_size) {
  if (want->worn_cell) {
    setting_set old;
    if (image_holds(after, image_settings(before, &old))) return true;
    snprintf(why, why_size, "the settings from before the run are no longer in force");
    return false;
  }
  const int old_slot = settings_current_slot(SLOT_SIZE, image_read, (void*)before);
  const size_t record_size = SETTINGS_OFFSET_VALUES + part_capacity();
  if (!want->stored && the_part()->writes_while_receiving) {
    /* The spare slot may hold what a failed run wrote; the record in force must be untouched. */
    setting_set old;
    if (!image_holds(after, image_settings(before, &old))) {
      snprintf(why, why_size, "the settings from before the run are no longer in force");
      return false;
    }
    if (old_slot >= 0 &&
        memcmp(before->bytes + SETTINGS_SLOT_BASE(old_slot, SLOT_SIZE),
               after->bytes + SETTINGS_SLOT_BASE(old_slot, SLOT_SIZE), record_size) != 0) {
      snprintf(why, why_size, "the record in force in slot %d was touched", old_slot);
      return false;
    }
    return true;
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
  const int slot = settings_current_slot(SLOT_SIZE, image_read, (void*)after);
  if (slot < 0) {
    snprintf(why, why_size, "no valid settings record in EEPROM");
    return false;
  }
  const setting_set* last = stored_set(want, 0);
  if (!image_holds(after, last)) {
    snprintf(why, why_size, "EEPROM slot %d holds %u settings, expected %zu (or other values)",
             slot, after->bytes[SETTINGS_SLOT_BASE(slot, SLOT_SIZE) + SETTINGS_OFFSET_COUNT],
             last->count);
    return false;
  }
  /* The record it replaced must still be whole in the other slot. */
  if (want->stored > 1) {
    eeprom_image other = *after;
    other.bytes[SETTINGS_SLOT_BASE(slot, SLOT_SIZE) + SETTINGS_OFFSET_MARKER] = 0xFF;
    if (!image_holds(&other, stored_set(want, 1))) {
      snprintf(why, why_size, "slot %d does not hold the settings stored before the last",
               1 - slot);
      return false;
    }
    return true;
  }
  /* Where a failed run after the stored one may have written the other slot, only the slot in
   * force matters. */
  if (old_slot >= 0 && old_slot != slot && !the_part()->writes_while_receiving &&
      memcmp(before->bytes + SETTINGS_SLOT_BASE(old_slot, SLOT_SIZE),
             after->bytes + SETTINGS_SLOT_BASE(old_slot, SLOT_SIZE), record_size) != 0) {
    snprintf(why, why_size, "the previous record in slot %d was touched", old_slot);
    return false;
  }
  if (old_slot == slot) {
    snprintf(why, why_size, "the new record overwrote the current one in slot %d", slot);
    return false;
  }
  return true;
}

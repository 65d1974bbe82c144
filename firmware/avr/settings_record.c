#include "firmware/avr/settings_record.h"

uint8_t settings_crc8(uint8_t crc, uint8_t byte) {
  crc ^= byte;
  for (uint8_t bit = 0; bit < 8; bit++) {
    const bool top = (crc & 0x80u) != 0;
    crc = (uint8_t)(crc << 1);
    if (top) crc ^= 0x07u;
  }
  return crc;
}

uint8_t settings_slot_check(uint8_t slot, uint16_t slot_size, settings_read_fn read,
                            void* context) {
  const uint16_t base = SETTINGS_SLOT_BASE(slot, slot_size);
  const uint8_t count = read(base + SETTINGS_OFFSET_COUNT, context);
  uint8_t crc = settings_crc8(0, read(base + SETTINGS_OFFSET_SEQUENCE, context));
  crc = settings_crc8(crc, count);
  for (uint16_t i = 0; i < count && i < SETTINGS_CAPACITY(slot_size); i++)
    crc = settings_crc8(crc, read(base + SETTINGS_OFFSET_VALUES + i, context));
  return crc;
}

bool settings_slot_valid(uint8_t slot, uint16_t slot_size, settings_read_fn read, void* context) {
  const uint16_t base = SETTINGS_SLOT_BASE(slot, slot_size);
  if (read(base + SETTINGS_OFFSET_MARKER, context) != SETTINGS_COMMITTED) return false;
  if (read(base + SETTINGS_OFFSET_COUNT, context) > SETTINGS_CAPACITY(slot_size)) return false;
  return read(base + SETTINGS_OFFSET_CHECK, context) ==
         settings_slot_check(slot, slot_size, read, context);
}

int settings_current_slot(uint16_t slot_size, settings_read_fn read, void* context) {
  const bool valid0 = settings_slot_valid(0, slot_size, read, context);
  const bool valid1 = settings_slot_valid(1, slot_size, read, context);
  if (!valid0) return valid1 ? 1 : -1;
  if (!valid1) return 0;
  /* Both whole: the newer one, counting sequence numbers round modulo 256. */
  const uint8_t ahead =
      (uint8_t)(read(SETTINGS_SLOT_BASE(1, slot_size) + SETTINGS_OFFSET_SEQUENCE, context) -
                read(SETTINGS_SLOT_BASE(0, slot_size) + SETTINGS_OFFSET_SEQUENCE, context));
  return ahead != 0 && ahead < 0x80u ? 1 : 0;
}

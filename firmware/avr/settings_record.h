/*
 * Where the firmware keeps the settings in EEPROM, and how a copy is recognised as whole.
 *
 * Two slots of `slot_size` bytes each (a firmware picks the size its EEPROM allows: 0x200 holds the
 * format's 253 settings, 0x100 holds 252, which fits two slots in 512 bytes). A new set is always
 * written into the slot that does not hold the current one, and it becomes current only when its
 * last byte (the commit marker) is written. A power cut at any moment therefore leaves either the
 * old set or the new one, never a mixture:
 *
 *   offset  size  content
 *   0       1     commit marker: SETTINGS_COMMITTED once the record is whole
 *   1       1     sequence number, one more (modulo 256) than the record it replaces
 *   2       1     count of settings, 0 to SETTINGS_MAX_VALUES
 *   3       1     check: CRC-8 (polynomial 0x07, start 0) of sequence, count and values
 *   4       253   values, one byte per setting; only the first `count` are meaningful
 *
 * Write order: marker erased first, then values, sequence, count and check, marker last. The
 * check is worked out from the values received, so a cell that did not keep its value leaves the
 * record invalid; the firmware reads the slot back after the commit to tell.
 *
 * Plain C with no dependency on the microcontroller: the firmware reads through eeprom_read_byte,
 * the simulator reads the EEPROM image it takes from the simulated part.
 */
#ifndef FIRMWARE_SETTINGS_RECORD_H
#define FIRMWARE_SETTINGS_RECORD_H

#include <stdbool.h>
#include <stdint.h>

#include "receiver/optical_receiver.h"

#define SETTINGS_MAX_VALUES ORX_MAX_VALUES
#define SETTINGS_SLOTS 2
#define SETTINGS_SLOT_BASE(slot, slot_size) ((uint16_t)((slot) * (slot_size)))
/* The most settings a slot of `slot_size` bytes holds: the format's 253, or fewer. */
#define SETTINGS_CAPACITY(slot_size)                                                             \
  ((slot_size)-SETTINGS_OFFSET_VALUES < SETTINGS_MAX_VALUES ? (slot_size)-SETTINGS_OFFSET_VALUES \
                                                            : SETTINGS_MAX_VALUES)
/* The largest EEPROM of the parts the firmwares run on. */
#define SETTINGS_EEPROM_SIZE 1024u

enum {
  SETTINGS_OFFSET_MARKER = 0,
  SETTINGS_OFFSET_SEQUENCE = 1,
  SETTINGS_OFFSET_COUNT = 2,
  SETTINGS_OFFSET_CHECK = 3,
  SETTINGS_OFFSET_VALUES = 4,
};

/* Not 0xFF (erased EEPROM) nor 0x00 (a cleared byte). */
#define SETTINGS_COMMITTED 0xA5u

/* Reads one EEPROM byte at an absolute address. */
typedef uint8_t (*settings_read_fn)(uint16_t address, void* context);

uint8_t settings_crc8(uint8_t crc, uint8_t byte);

/* The check byte the record in `slot` should carry, computed from what the slot holds. */
uint8_t settings_slot_check(uint8_t slot, uint16_t slot_size, settings_read_fn read, void* context);

/* True if the record in `slot` is committed, its count within what the slot holds and its check
 * right. */
bool settings_slot_valid(uint8_t slot, uint16_t slot_size, settings_read_fn read, void* context);

/* The slot holding the current settings (the newer of two valid records), or -1 if none is. */
int settings_current_slot(uint16_t slot_size, settings_read_fn read, void* context);

#endif /* FIRMWARE_SETTINGS_RECORD_H */

// The packet check that the fuzz targets of the settings share.
#pragma once

#include "fuzz/FuzzCheck.h"
#include "programming/Packet.h"
#include "protocol/optical_protocol.h"

namespace fuzz {

// The packet of a table of `count` settings: sync, count, one byte per setting, and the 8-bit
// sum of the count and the values; `values` (when given) are the bytes the table should carry.
inline void CheckPacket(const Packet& packet, int count, const unsigned char* values) {
  FUZZ_CHECK(count >= 0 && count + 3 <= OPTICAL_MAX_PACKET);
  FUZZ_CHECK(packet.length == count + 3);
  FUZZ_CHECK(packet.bytes[0] == OPTICAL_SYNC_BYTE);
  FUZZ_CHECK(packet.bytes[1] == count);
  unsigned sum = 0;
  for (int i = 1; i <= count + 1; ++i) sum += packet.bytes[i];
  FUZZ_CHECK(packet.bytes[count + 2] == sum % 256);
  for (int i = 0; values && i < count; ++i) FUZZ_CHECK(packet.bytes[2 + i] == values[i]);
  for (int i = packet.length; i < Packet::kCapacity; ++i) FUZZ_CHECK(packet.bytes[i] == 0);
}

}  // namespace fuzz

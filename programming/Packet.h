// The packet that one programming run transmits: the sync byte, the number of settings, each
// setting's value (low 8 bits), and a checksum over the count and the values. The sync byte is
// not part of the checksum.
#pragma once

#include <array>

#include "protocol/optical_protocol.h"

class CAppConfig;

struct Packet {
  // Room for 253 settings; the table holds at most 100.
  static constexpr int kCapacity = OPTICAL_MAX_PACKET;
  static constexpr unsigned char kSync = OPTICAL_SYNC_BYTE;
  std::array<unsigned char, kCapacity> bytes{};
  int length = 0;
};

// Reads every setting's value from its edit box at this moment: the packet carries what is on
// screen, saved or not.
Packet BuildPacket(const CAppConfig& config);

// The packet that one programming run transmits: sync byte 0x55, the number of settings, each
// setting's value (low 8 bits), and a checksum over the count and the values. The sync byte is
// not part of the checksum.
#pragma once

#include <array>

class CAppConfig;

struct Packet {
  static constexpr int kCapacity = 256;  // room for 253 settings; the table holds at most 100
  static constexpr unsigned char kSync = 0x55;
  std::array<unsigned char, kCapacity> bytes{};
  int length = 0;
};

// Reads every setting's value from its edit box at this moment: the packet carries what is on
// screen, saved or not.
Packet BuildPacket(const CAppConfig& config);

#include "programming/Packet.h"

#include "config/AppConfig.h"

Packet BuildPacket(const CAppConfig& config) {
  static_assert(CAppConfig::kCapacity + 3 <= Packet::kCapacity);
  Packet packet;
  const int count = config.GetCount();
  packet.length = count + 3;
  packet.bytes[0] = Packet::kSync;
  packet.bytes[1] = static_cast<unsigned char>(count);
  config.GetValues(&packet.bytes[2]);
  unsigned char checksum = 0;  // wraps on overflow, as an 8-bit sum does
  for (int i = 1; i <= count + 1; ++i)
    checksum = static_cast<unsigned char>(checksum + packet.bytes[i]);
  packet.bytes[count + 2] = checksum;
  return packet;
}

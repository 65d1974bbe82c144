/*
 * Decodes swap times given one a line (microseconds, never decreasing) with the reference
 * receiver, for swaps seen other than by the panel sampler (a compositor's timeline says when
 * each frame was shown). Prints "result=EVENT bytes=HEX..." for the first packet or error;
 * exits 0 when a valid packet was decoded.
 *
 *   decode_swaps < FILE
 */
#include <inttypes.h>
#include <stdio.h>

#include "protocol/optical_protocol.h"
#include "receiver/optical_receiver.h"

enum { kMaxSwaps = 8192 };

int main(void) {
  static int64_t times[kMaxSwaps];
  size_t count = 0;
  while (count < kMaxSwaps && scanf("%" SCNd64, &times[count]) == 1) count++;
  orx_receiver rx;
  if (!orx_init(&rx, OPTICAL_ZERO_BIT_US, OPTICAL_ONE_BIT_US, OPTICAL_START_US)) return 2;
  const orx_event event = orx_decode_swaps(&rx, times, count, NULL);
  printf("swaps=%zu result=%s bytes=", count, orx_event_name(event));
  const uint8_t* bytes = orx_bytes(&rx);
  for (size_t i = 0; i < orx_length(&rx); i++) printf("%02X", bytes[i]);
  printf("\n");
  return event == ORX_PACKET ? 0 : 1;
}

// The reference receiver fed arbitrary swap times. The first byte picks how the rest is read:
//   0: raw — the three durations and every swap or poll time as arbitrary 64-bit numbers;
//   1: symbols — durations from two small numbers, then one byte per interval (a zero bit, a one
//      bit or one near the short/long threshold, each with a jitter that may leave the tolerance,
//      or an idle silence, a poll, a step back in time or a huge jump);
//   2: round trip — a packet of values from the input, sent at the tool's durations with jitter
//      inside the tolerance, must come out exactly.
// Whatever the input: a packet reported valid has its sync, length and checksum right, the
// length never exceeds OPTICAL_MAX_PACKET, an error never leaves values to read, and a receiver
// that refused its durations stays silent. The streaming mode (orx_stream) is fed the same swaps
// on a 32-bit clock: in the symbol runs it must report the same event, length and byte as the
// buffered mode at every swap until time steps back or jumps past 2^32 us (where the two read
// the time differently by design), and it must bring a round trip's packet out exactly wherever
// its clock wraps.
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "protocol/optical_protocol.h"
#include "receiver/optical_receiver.h"

namespace {

// Reads the input front to back; past its end every read gives 0.
class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
  bool Empty() const { return m_used >= m_size; }
  std::uint8_t Byte() { return Empty() ? 0 : m_data[m_used++]; }
  std::uint64_t Bits(int bytes) {
    std::uint64_t value = 0;
    for (int i = 0; i < bytes; ++i) value = value << 8 | Byte();
    return value;
  }
  std::int64_t Int64() { return static_cast<std::int64_t>(Bits(8)); }

 private:
  const std::uint8_t* m_data;
  std::size_t m_size;
  std::size_t m_used = 0;
};

void Observe(const orx_receiver& rx, orx_event event) {
  FUZZ_CHECK(event >= ORX_NONE && event <= ORX_ERR_TRUNCATED);
  const std::size_t length = orx_length(&rx);
  FUZZ_CHECK(length <= OPTICAL_MAX_PACKET);
  std::size_t count = 1;
  const std::uint8_t* values = orx_values(&rx, &count);
  if (event == ORX_PACKET) {
    const std::uint8_t* bytes = orx_bytes(&rx);
    FUZZ_CHECK(length >= 3);
    FUZZ_CHECK(bytes[0] == OPTICAL_SYNC_BYTE);
    FUZZ_CHECK(bytes[1] <= ORX_MAX_VALUES);
    FUZZ_CHECK(length == static_cast<std::size_t>(bytes[1]) + 3);
    unsigned sum = 0;
    for (std::size_t i = 1; i + 1 < length; ++i) sum += bytes[i];
    FUZZ_CHECK(bytes[length - 1] == sum % 256);
    FUZZ_CHECK(values == bytes + 2 && count == bytes[1]);
  } else if (event >= ORX_ERR_INTERVAL) {
    FUZZ_CHECK(values == nullptr && count == 0);
  }
}

// The streaming receiver agrees with the buffered one after the same swap or poll.
void Agree(const orx_receiver& rx, orx_event event, const orx_stream& stream,
           orx_event stream_event) {
  FUZZ_CHECK(stream_event == event);
  const std::size_t length = orx_length(&rx);
  FUZZ_CHECK(orx_stream_length(&stream) == length);
  const bool byte_came = event == ORX_BYTE || event == ORX_PACKET || event == ORX_ERR_SYNC ||
                         event == ORX_ERR_LENGTH || event == ORX_ERR_CHECKSUM;
  if (byte_came) FUZZ_CHECK(orx_stream_byte(&stream) == orx_bytes(&rx)[length - 1]);
}

// Time moves on without overflowing: the receiver must cope with any time, not the fuzzer.
std::int64_t Later(std::int64_t time, std::int64_t step) {
  std::int64_t sum = 0;
  if (__builtin_add_overflow(time, step, &sum))
    return step > 0 ? std::numeric_limits<std::int64_t>::max()
                    : std::numeric_limits<std::int64_t>::min();
  return sum;
}

void Raw(Input& input) {
  orx_receiver rx;
  const std::int64_t zero = input.Int64();
  const std::int64_t one = input.Int64();
  const std::int64_t start = input.Int64();
  const bool ready = orx_init(&rx, zero, one, start);
  orx_stream stream;
  const bool stream_ready =
      orx_stream_init(&stream, static_cast<std::uint32_t>(zero), static_cast<std::uint32_t>(one),
                      static_cast<std::uint32_t>(start));
  while (!input.Empty()) {
    const bool poll = input.Byte() & 1;
    const std::int64_t time = input.Int64();
    const orx_event event = poll ? orx_poll(&rx, time) : orx_feed_swap(&rx, time);
    Observe(rx, event);
    if (!ready) FUZZ_CHECK(event == ORX_NONE && orx_length(&rx) == 0);
    const auto at = static_cast<std::uint32_t>(time);
    const orx_event stream_event =
        poll ? orx_stream_poll(&stream, at) : orx_stream_swap(&stream, at);
    FUZZ_CHECK(stream_event >= ORX_NONE && stream_event <= ORX_ERR_TRUNCATED);
    FUZZ_CHECK(orx_stream_length(&stream) <= OPTICAL_MAX_PACKET);
    if (!stream_ready) FUZZ_CHECK(stream_event == ORX_NONE && orx_stream_length(&stream) == 0);
  }
}

void Symbols(Input& input) {
  const std::int64_t zero = 1 + static_cast<std::int64_t>(input.Bits(2));
  const std::int64_t one = zero + 2 + static_cast<std::int64_t>(input.Bits(2));
  const std::int64_t margin = (one - zero) / 2;
  orx_receiver rx;
  FUZZ_CHECK(orx_init(&rx, zero, one, zero));
  orx_stream stream;
  FUZZ_CHECK(orx_stream_init(&stream, static_cast<std::uint32_t>(zero),
                             static_cast<std::uint32_t>(one), static_cast<std::uint32_t>(zero)));
  bool comparable = true;  // until time steps back or jumps past 2^32 us
  std::int64_t now = static_cast<std::int64_t>(input.Bits(1)) << 56, previous = now;
  std::vector<std::int64_t> recorded;
  while (!input.Empty()) {
    const std::uint8_t symbol = input.Byte();
    // Up to one margin either way: the edges of the tolerance and a little beyond.
    const std::int64_t jitter = ((symbol & 63) - 32) * margin / 31;
    orx_event event = ORX_NONE;
    switch (symbol >> 6) {
      case 0:
        now = Later(now, zero + jitter);
        break;
      case 1:
        now = Later(now, one + jitter);
        break;
      case 2:
        now = Later(now, zero + margin + jitter / 8);  // around the short/long threshold
        break;
      default:
        switch (symbol & 3) {
          case 0:
            now = Later(now, 2 * one + (symbol >> 2 & 15));
            break;
          case 1: {
            const std::int64_t at = Later(now, (symbol >> 2 & 15) * one / 4);
            event = orx_poll(&rx, at);
            Observe(rx, event);
            const orx_event stream_event = orx_stream_poll(&stream, static_cast<std::uint32_t>(at));
            if (comparable) Agree(rx, event, stream, stream_event);
            continue;
          }
          case 2:
            now = Later(now, -(symbol >> 2 & 15) - 1);
            break;
          default:
            now = Later(now, std::numeric_limits<std::int64_t>::max() / (1 + (symbol >> 2 & 15)));
            break;
        }
    }
    // A step back (a jitter may make one) or past 2^32 us reads differently in the two modes.
    if (now < previous || static_cast<std::uint64_t>(now) - static_cast<std::uint64_t>(previous) >
                              std::numeric_limits<std::uint32_t>::max())
      comparable = false;
    previous = now;
    recorded.push_back(now);
    event = orx_feed_swap(&rx, now);
    Observe(rx, event);
    const orx_event stream_event = orx_stream_swap(&stream, static_cast<std::uint32_t>(now));
    if (comparable) Agree(rx, event, stream, stream_event);
  }
  // The recorded run decoded in pieces ends like the swaps fed one by one, and goes on from
  // where each piece stopped.
  orx_receiver decoder;
  FUZZ_CHECK(orx_init(&decoder, zero, one, zero));
  std::size_t done = 0;
  while (done < recorded.size()) {
    std::size_t consumed = 0;
    const orx_event event =
        orx_decode_swaps(&decoder, recorded.data() + done, recorded.size() - done, &consumed);
    Observe(decoder, event);
    FUZZ_CHECK(consumed >= 1 && consumed <= recorded.size() - done);
    done += consumed;
  }
}

void RoundTrip(Input& input) {
  constexpr std::int64_t kZero = OPTICAL_ZERO_BIT_US, kOne = OPTICAL_ONE_BIT_US,
                         kStart = OPTICAL_START_US, kMargin = (kOne - kZero) / 2;
  std::uint8_t packet[ORX_MAX_PACKET];
  const std::size_t count = input.Byte() % (ORX_MAX_VALUES + 1);
  packet[0] = ORX_SYNC;
  packet[1] = static_cast<std::uint8_t>(count);
  unsigned sum = static_cast<unsigned>(count);
  for (std::size_t i = 0; i < count; ++i) {
    packet[2 + i] = input.Byte();
    sum += packet[2 + i];
  }
  packet[count + 2] = static_cast<std::uint8_t>(sum);
  const std::size_t length = count + 3;

  // Each interval strays by less than the margin, which the receiver must accept.
  auto jittered = [&input](std::int64_t duration) {
    return duration + (static_cast<std::int64_t>(input.Byte()) - 128) * (kMargin - 1) / 128;
  };
  std::vector<std::int64_t> times;
  std::int64_t t = static_cast<std::int64_t>(input.Bits(4));
  for (std::size_t i = 0; i < length; ++i) {
    times.push_back(t);
    t += jittered(kStart);
    for (int bit = 0; bit < 8; ++bit) {
      times.push_back(t);
      t += jittered(packet[i] >> bit & 1 ? kOne : kZero);
    }
    times.push_back(t);
    t += jittered(kStart);
  }
  orx_receiver rx;
  FUZZ_CHECK(orx_init(&rx, kZero, kOne, kStart));
  std::size_t consumed = 0;
  const orx_event event = orx_decode_swaps(&rx, times.data(), times.size(), &consumed);
  Observe(rx, event);
  FUZZ_CHECK(event == ORX_PACKET);
  FUZZ_CHECK(consumed == times.size());
  FUZZ_CHECK(orx_length(&rx) == length);
  FUZZ_CHECK(std::memcmp(orx_bytes(&rx), packet, length) == 0);

  // The streaming mode on a 32-bit clock that starts anywhere, so that it may wrap mid-run: the
  // same bytes, one at a time, and the packet.
  orx_stream stream;
  FUZZ_CHECK(orx_stream_init(&stream, kZero, kOne, kStart));
  const auto offset = static_cast<std::uint32_t>(input.Bits(4));
  std::uint8_t got[ORX_MAX_PACKET];
  orx_event stream_event = ORX_NONE;
  for (const std::int64_t time : times) {
    stream_event = orx_stream_swap(&stream, static_cast<std::uint32_t>(time) + offset);
    if (stream_event == ORX_BYTE || stream_event == ORX_PACKET)
      got[orx_stream_length(&stream) - 1] = orx_stream_byte(&stream);
  }
  FUZZ_CHECK(stream_event == ORX_PACKET);
  FUZZ_CHECK(orx_stream_length(&stream) == length);
  FUZZ_CHECK(std::memcmp(got, packet, length) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) { return 0; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Input input(data, size);
  switch (input.Byte() % 3) {
    case 0:
      Raw(input);
      break;
    case 1:
      Symbols(input);
      break;
    default:
      RoundTrip(input);
      break;
  }
  return 0;
}

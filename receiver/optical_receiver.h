/*
 * Reference receiver for the optical programming link.
 *
 * The transmitter swaps the colours of two screen panels; a device sees each swap as an edge on
 * its light sensor and passes the edge time (microseconds, monotonic) to orx_feed_swap(). The
 * time between successive swaps carries the symbols:
 *
 *   start symbol -> bit 0          start duration
 *   bit k        -> next swap      one-bit duration if bit k is 1, else zero-bit duration
 *   end of byte  -> next start     start duration (gap between bytes)
 *
 * Every byte is ten swaps: start symbol, bits 0..7 (least significant first), end of byte.
 * A packet is: sync byte, count N, N values, checksum (sum of count and values modulo 256).
 *
 * Tolerances, with margin = (one_us - zero_us) / 2:
 *   - an interval is short (zero bit, start, gap) if below threshold = zero_us + margin, else
 *     long (one bit);
 *   - an interval outside [zero_us - margin, one_us + margin] is rejected (lower bound at least
 *     1 us);
 *   - a silence of at least idle = 2 * one_us ends any packet in progress; the next swap begins
 *     a new packet. After a complete packet or an error, swaps are ignored until such a silence.
 *
 * Two modes share one decoder: the buffered one (orx_receiver, 64-bit times) keeps the packet
 * and hands over its values once it checks out; the streaming one (orx_stream, 32-bit times that
 * may wrap) hands over each byte as it completes and needs about 30 bytes of RAM.
 *
 * Plain C11, no allocation, no dependencies beyond the C standard library. Not thread-safe: one
 * receiver per sensor, fed from one context.
 */
#ifndef OPTICAL_RECEIVER_H
#define OPTICAL_RECEIVER_H

#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

#include "protocol/optical_protocol.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Largest packet: sync + count + 253 values + checksum. */
#define ORX_MAX_PACKET OPTICAL_MAX_PACKET
#define ORX_MAX_VALUES (ORX_MAX_PACKET - 3)
#define ORX_SYNC OPTICAL_SYNC_BYTE

/* What a swap (or a poll) produced. Errors refer to the packet in progress, which is dropped;
 * the receiver then waits for an idle silence before accepting a new packet. All errors come
 * after ORX_PACKET, so `event >= ORX_ERR_INTERVAL` tests for any error. */
typedef enum orx_event {
  ORX_NONE = 0,      /* swap accepted (or ignored while waiting for idle), nothing complete */
  ORX_BYTE,          /* a byte completed; orx_length() grew by one */
  ORX_PACKET,        /* the last byte completed and the packet checks out */
  ORX_ERR_INTERVAL,  /* an interval fell outside the tolerance window */
  ORX_ERR_FRAMING,   /* a start or gap interval read as long */
  ORX_ERR_SYNC,      /* first byte was not the sync byte */
  ORX_ERR_LENGTH,    /* count byte above ORX_MAX_VALUES */
  ORX_ERR_CHECKSUM,  /* checksum byte does not match count and values */
  ORX_ERR_TRUNCATED, /* silence (or end of input) before the packet was complete */
} orx_event;

/* Where a receiver is within the packet: the part that both modes below share, one decoder of
 * symbols and bytes. Treat as opaque; fields may change. */
typedef struct orx_decoder {
  uint8_t mode;        /* off / ready / receiving / waiting for idle */
  uint8_t swap;        /* swaps seen of the current byte, 0..9 */
  uint8_t shift;       /* bits of the current byte so far */
  uint8_t sum;         /* running checksum of count and values */
  uint8_t count;       /* the count byte of the packet in progress */
  uint8_t byte;        /* the byte completed last */
  uint16_t length;     /* complete bytes received */
  bool complete;       /* the last packet ended with ORX_PACKET */
  bool cut_bytes_kept; /* length (and bytes) are those of a packet just cut short */
} orx_decoder;

/* Receiver state (buffered mode). Treat as opaque; fields may change. */
typedef struct orx_receiver {
  int64_t threshold_us; /* short below, long at or above */
  int64_t min_us;       /* shortest accepted interval */
  int64_t max_us;       /* longest accepted interval */
  int64_t idle_us;      /* silence that ends a packet */
  int64_t last_us;      /* time of the previous swap */
  orx_decoder decoder;
  uint8_t bytes[ORX_MAX_PACKET];
} orx_receiver;

/* Sets up the receiver for the given durations (microseconds). Returns false, leaving the
 * receiver unusable, unless 0 < zero_us < one_us and start_us is inside the window and short.
 * After init the first swap begins a packet. */
bool orx_init(orx_receiver* rx, int64_t zero_us, int64_t one_us, int64_t start_us);

/* Feeds the time of the next swap. Times must not decrease; a decreasing time counts as a bad
 * interval. When a swap after an idle silence cuts a packet short, ORX_ERR_TRUNCATED is returned
 * and that swap is already taken as the first swap of a new packet; orx_length() and orx_bytes()
 * still give the packet cut short until the next call. */
orx_event orx_feed_swap(orx_receiver* rx, int64_t time_us);

/* Tells the receiver the current time without a swap. Returns ORX_ERR_TRUNCATED if a packet was
 * in progress and the silence has reached idle, else ORX_NONE. Optional: without it, truncation
 * is noticed at the next swap. */
orx_event orx_poll(orx_receiver* rx, int64_t now_us);

/* Decodes a recorded run of swap times, stopping at the first ORX_PACKET or error and returning
 * it. Sets *consumed (if not NULL) to the number of swaps used; calling again with the rest
 * continues where it stopped. The end of the input counts as an idle silence: if it comes
 * mid-packet the result is ORX_ERR_TRUNCATED, and either way the next swap fed begins a new
 * packet. Returns ORX_NONE if no packet finished or was cut short. */
orx_event orx_decode_swaps(orx_receiver* rx, const int64_t* times_us, size_t count,
                           size_t* consumed);

/* Bytes of the current or last packet, sync and checksum included. Valid until the next feed.
 * After ORX_ERR_TRUNCATED (from any of the three calls above) they are the bytes of the packet
 * cut short: a length of 0 means that only stray swaps came, never a whole byte. */
const uint8_t* orx_bytes(const orx_receiver* rx);
size_t orx_length(const orx_receiver* rx);

/* The setting values of the last packet if it ended with ORX_PACKET (count in *count), else
 * NULL with *count = 0. */
const uint8_t* orx_values(const orx_receiver* rx, size_t* count);

/* ---- Streaming mode: no packet buffer, 32-bit time ---------------------------------------
 *
 * The same decoder without the 256-byte buffer, for parts with little RAM (30 bytes of state on
 * AVR). Each byte is handed over as it completes: after ORX_BYTE, ORX_PACKET or an error that a
 * byte brought (ORX_ERR_SYNC, ORX_ERR_LENGTH, ORX_ERR_CHECKSUM), orx_stream_byte() is that byte
 * and orx_stream_length() - 1 its place in the packet (0 sync, 1 count, 2 .. count + 1 values,
 * then the checksum, which comes only with ORX_PACKET or ORX_ERR_CHECKSUM). The checksum is kept
 * running, so a device stores the values as they come and commits them only on ORX_PACKET.
 * The events are those the buffered mode reports for the same swaps.
 *
 * Times are unsigned 32-bit microseconds that may wrap around (every 71.6 minutes): only the
 * difference from one swap to the next counts, taken modulo 2^32. So a time going backwards reads
 * as a silence long past idle, not as a bad interval, and a silence of 71.6 minutes or more can
 * read as a short one: call orx_stream_poll() at least that often (any main loop does), which
 * ends whatever was in progress once idle has passed. */
typedef struct orx_stream {
  uint32_t threshold_us, min_us, max_us, idle_us; /* as in orx_receiver */
  uint32_t last_us;                               /* time of the previous swap */
  orx_decoder decoder;
} orx_stream;

/* Same rules as orx_init; also false unless one_us is at most UINT32_MAX / 4. */
bool orx_stream_init(orx_stream* rx, uint32_t zero_us, uint32_t one_us, uint32_t start_us);

/* As orx_feed_swap and orx_poll, with wrap-around time. */
orx_event orx_stream_swap(orx_stream* rx, uint32_t time_us);
orx_event orx_stream_poll(orx_stream* rx, uint32_t now_us);

/* The byte completed last (see above). */
uint8_t orx_stream_byte(const orx_stream* rx);

/* Complete bytes of the packet in progress, sync and checksum included; after
 * ORX_ERR_TRUNCATED, those of the packet cut short, until the next call (0: stray swaps only). */
uint16_t orx_stream_length(const orx_stream* rx);

/* Short constant name of an event, e.g. "ERR_CHECKSUM". */
const char* orx_event_name(orx_event event);

#ifdef __cplusplus
}
#endif

#endif /* OPTICAL_RECEIVER_H */

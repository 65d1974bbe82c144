#include "receiver/optical_receiver.h"

#include <string.h>

/* A zeroed receiver (or one whose init failed) is off and ignores swaps. */
enum { MODE_OFF = 0, MODE_READY, MODE_RECEIVING, MODE_WAITING };

/* Swaps per byte: start symbol, eight data bits, end of byte. */
enum { SWAPS_PER_BYTE = OPTICAL_SWAPS_PER_BYTE, FIRST_BIT_SWAP = 2 };

/* What an interval is, once each mode has measured it against its window in its own width. */
typedef enum { SYMBOL_SHORT, SYMBOL_LONG, SYMBOL_BAD, SYMBOL_IDLE } symbol;

/* ---- The decoder both modes share --------------------------------------------------------- */

/* The swap just fed is the start symbol of the first byte. A packet that this swap cuts short
 * keeps its length (and, in the buffered mode, its bytes) readable until the next call, so that
 * a device can tell a truncated packet from stray swaps that brought no byte (length 0). */
static void start_packet(orx_decoder* d, bool keep_cut_bytes) {
  d->mode = MODE_RECEIVING;
  d->swap = 1;
  d->shift = 0;
  d->sum = 0;
  d->complete = false;
  d->cut_bytes_kept = keep_cut_bytes;
  if (!keep_cut_bytes) d->length = 0;
}

/* The bytes kept for the caller after a truncation belong to no packet once it calls again. */
static void forget_cut_bytes(orx_decoder* d) {
  if (!d->cut_bytes_kept) return;
  d->cut_bytes_kept = false;
  d->length = 0;
}

/* Drops the packet; only an idle silence brings the receiver back. */
static orx_event fail(orx_decoder* d, orx_event event) {
  d->mode = MODE_WAITING;
  return event;
}

/* `bytes` is the buffered mode's packet, NULL in the streaming mode. */
static orx_event finish_byte(orx_decoder* d, uint8_t* bytes, uint8_t byte) {
  d->byte = byte;
  if (bytes != NULL) bytes[d->length] = byte;
  d->length++;
  if (d->length == 1) return byte == ORX_SYNC ? ORX_BYTE : fail(d, ORX_ERR_SYNC);
  if (d->length == 2) {
    if (byte > ORX_MAX_VALUES) return fail(d, ORX_ERR_LENGTH);
    d->count = byte;
  }
  /* The packet is sync, count, values, checksum. */
  if (d->length == (uint16_t)(d->count + 3u)) {
    if (byte != d->sum) return fail(d, ORX_ERR_CHECKSUM);
    d->complete = true;
    d->mode = MODE_WAITING;
    return ORX_PACKET;
  }
  /* The sync byte is not part of the checksum; the count byte is. */
  d->sum = (uint8_t)(d->sum + byte);
  return ORX_BYTE;
}

/* A swap, `interval` after the previous one (meaningless for the first). */
static orx_event decode_swap(orx_decoder* d, uint8_t* bytes, symbol interval) {
  if (d->mode == MODE_OFF) return ORX_NONE;
  forget_cut_bytes(d);
  if (d->mode == MODE_READY) {
    start_packet(d, false);
    return ORX_NONE;
  }
  if (interval == SYMBOL_IDLE) {
    const bool cut_short = d->mode == MODE_RECEIVING;
    start_packet(d, cut_short);
    return cut_short ? ORX_ERR_TRUNCATED : ORX_NONE;
  }
  if (d->mode == MODE_WAITING) return ORX_NONE;
  if (interval == SYMBOL_BAD) return fail(d, ORX_ERR_INTERVAL);

  const bool is_long = interval == SYMBOL_LONG;
  const uint8_t swap = d->swap;
  if (swap < FIRST_BIT_SWAP) {
    /* Swap 0 ends the gap after the previous byte, swap 1 ends the start symbol: both short. */
    if (is_long) return fail(d, ORX_ERR_FRAMING);
    d->swap++;
    return ORX_NONE;
  }
  /* The interval ending at swap k carries data bit k - 2. */
  if (is_long) d->shift |= (uint8_t)(1u << (swap - FIRST_BIT_SWAP));
  if (swap < SWAPS_PER_BYTE - 1) {
    d->swap++;
    return ORX_NONE;
  }
  /* This swap is the end of the byte. */
  const uint8_t byte = d->shift;
  d->swap = 0;
  d->shift = 0;
  return finish_byte(d, bytes, byte);
}

/* A poll: `idle` tells whether the silence since the last swap has reached idle. */
static orx_event decode_poll(orx_decoder* d, bool idle) {
  if (d->mode != MODE_RECEIVING && d->mode != MODE_WAITING) return ORX_NONE;
  forget_cut_bytes(d);
  if (!idle) return ORX_NONE;
  const bool cut_short = d->mode == MODE_RECEIVING;
  d->mode = MODE_READY;
  return cut_short ? ORX_ERR_TRUNCATED : ORX_NONE;
}

/* ---- Buffered mode: 64-bit times, the whole packet kept ------------------------------------ */

bool orx_init(orx_receiver* rx, int64_t zero_us, int64_t one_us, int64_t start_us) {
  if (rx == NULL) return false;
  memset(rx, 0, sizeof *rx);
  /* The margin must be at least 1 us, or a zero bit would sit on the threshold. */
  /* one_us is compared with zero_us before the two are subtracted, so that no pair overflows. */
  if (zero_us <= 0 || one_us <= zero_us || one_us - zero_us < 2 || one_us > INT64_MAX / 4)
    return false;
  const int64_t margin = (one_us - zero_us) / 2;
  const int64_t threshold = zero_us + margin;
  const int64_t min = zero_us - margin < 1 ? 1 : zero_us - margin;
  if (start_us < min || start_us >= threshold) return false;
  rx->threshold_us = threshold;
  rx->min_us = min;
  rx->max_us = one_us + margin;
  rx->idle_us = 2 * one_us;
  rx->decoder.mode = MODE_READY;
  return true;
}

/* The time from `from` to `to` for any two times: a step back counts as -1 and a step longer
 * than the type holds as INT64_MAX, so that the difference never overflows. Both stand for what
 * they are: a bad interval, and a silence long past idle. */
static int64_t elapsed(int64_t from, int64_t to) {
  if (to < from) return -1;
  if (from < 0 && to > INT64_MAX + from) return INT64_MAX;
  return to - from;
}

static symbol classify(const orx_receiver* rx, int64_t interval) {
  if (interval >= rx->idle_us) return SYMBOL_IDLE;
  if (interval < rx->min_us || interval > rx->max_us) return SYMBOL_BAD;
  return interval >= rx->threshold_us ? SYMBOL_LONG : SYMBOL_SHORT;
}

orx_event orx_feed_swap(orx_receiver* rx, int64_t time_us) {
  if (rx->decoder.mode == MODE_OFF) return ORX_NONE;
  const symbol interval = classify(rx, elapsed(rx->last_us, time_us));
  rx->last_us = time_us;
  return decode_swap(&rx->decoder, rx->bytes, interval);
}

orx_event orx_poll(orx_receiver* rx, int64_t now_us) {
  return decode_poll(&rx->decoder, elapsed(rx->last_us, now_us) >= rx->idle_us);
}

orx_event orx_decode_swaps(orx_receiver* rx, const int64_t* times_us, size_t count,
                           size_t* consumed) {
  orx_event event = ORX_NONE;
  size_t i = 0;
  forget_cut_bytes(&rx->decoder);
  while (i < count) {
    event = orx_feed_swap(rx, times_us[i++]);
    if (event != ORX_NONE && event != ORX_BYTE) break;
  }
  if (event == ORX_NONE || event == ORX_BYTE) {
    /* Input ran out: the end of the run counts as silence. */
    event = rx->decoder.mode == MODE_RECEIVING ? ORX_ERR_TRUNCATED : ORX_NONE;
    if (rx->decoder.mode != MODE_OFF) rx->decoder.mode = MODE_READY;
  }
  if (consumed != NULL) *consumed = i;
  return event;
}

const uint8_t* orx_bytes(const orx_receiver* rx) { return rx->bytes; }

size_t orx_length(const orx_receiver* rx) { return rx->decoder.length; }

const uint8_t* orx_values(const orx_receiver* rx, size_t* count) {
  *count = rx->decoder.complete ? rx->bytes[1] : 0;
  return rx->decoder.complete ? rx->bytes + 2 : NULL;
}

/* ---- Streaming mode: 32-bit wrap-around times, each byte handed over ------------------------ */

bool orx_stream_init(orx_stream* rx, uint32_t zero_us, uint32_t one_us, uint32_t start_us) {
  if (rx == NULL) return false;
  memset(rx, 0, sizeof *rx);
  if (zero_us == 0 || one_us <= zero_us || one_us - zero_us < 2 || one_us > UINT32_MAX / 4)
    return false;
  const uint32_t margin = (one_us - zero_us) / 2;
  const uint32_t threshold = zero_us + margin;
  const uint32_t min = zero_us <= margin ? 1 : zero_us - margin;
  if (start_us < min || start_us >= threshold) return false;
  rx->threshold_us = threshold;
  rx->min_us = min;
  rx->max_us = one_us + margin;
  rx->idle_us = 2 * one_us;
  rx->decoder.mode = MODE_READY;
  return true;
}

/* Differences modulo 2^32: right across a wrap of the clock, whatever the time of day. */
static symbol classify_stream(const orx_stream* rx, uint32_t interval) {
  if (interval >= rx->idle_us) return SYMBOL_IDLE;
  if (interval < rx->min_us || interval > rx->max_us) return SYMBOL_BAD;
  return interval >= rx->threshold_us ? SYMBOL_LONG : SYMBOL_SHORT;
}

orx_event orx_stream_swap(orx_stream* rx, uint32_t time_us) {
  const symbol interval = classify_stream(rx, (uint32_t)(time_us - rx->last_us));
  rx->last_us = time_us;
  return decode_swap(&rx->decoder, NULL, interval);
}

orx_event orx_stream_poll(orx_stream* rx, uint32_t now_us) {
  return decode_poll(&rx->decoder, (uint32_t)(now_us - rx->last_us) >= rx->idle_us);
}

uint8_t orx_stream_byte(const orx_stream* rx) { return rx->decoder.byte; }

uint16_t orx_stream_length(const orx_stream* rx) { return rx->decoder.length; }

const char* orx_event_name(orx_event event) {
  switch (event) {
    case ORX_NONE:
      return "NONE";
    case ORX_BYTE:
      return "BYTE";
    case ORX_PACKET:
      return "PACKET";
    case ORX_ERR_INTERVAL:
      return "ERR_INTERVAL";
    case ORX_ERR_FRAMING:
      return "ERR_FRAMING";
    case ORX_ERR_SYNC:
      return "ERR_SYNC";
    case ORX_ERR_LENGTH:
      return "ERR_LENGTH";
    case ORX_ERR_CHECKSUM:
      return "ERR_CHECKSUM";
    case ORX_ERR_TRUNCATED:
      return "ERR_TRUNCATED";
  }
  return "?";
}

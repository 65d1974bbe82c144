#include "receiver/optical_receiver.h"

#include <string.h>

/* A zeroed receiver (or one whose init failed) is off and ignores swaps. */
enum { MODE_OFF = 0, MODE_READY, MODE_RECEIVING, MODE_WAITING };

/* Swaps per byte: start symbol, eight data bits, end of byte. */
enum { SWAPS_PER_BYTE = OPTICAL_SWAPS_PER_BYTE, FIRST_BIT_SWAP = 2 };

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
  rx->mode = MODE_READY;
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

/* The swap at time_us is the start symbol of the first byte. A packet that this swap cuts short
 * keeps its bytes readable until the next call, so that a device can tell a truncated packet
 * from stray swaps that brought no byte (orx_length() == 0). */
static void start_packet(orx_receiver* rx, int64_t time_us, bool keep_cut_bytes) {
  rx->mode = MODE_RECEIVING;
  rx->last_us = time_us;
  rx->swap = 1;
  rx->shift = 0;
  rx->sum = 0;
  rx->complete = false;
  rx->cut_bytes_kept = keep_cut_bytes;
  if (!keep_cut_bytes) rx->length = 0;
}

/* The bytes kept for the caller after a truncation belong to no packet once it calls again. */
static void forget_cut_bytes(orx_receiver* rx) {
  if (!rx->cut_bytes_kept) return;
  rx->cut_bytes_kept = false;
  rx->length = 0;
}

/* Drops the packet; only an idle silence brings the receiver back. */
static orx_event fail(orx_receiver* rx, orx_event event) {
  rx->mode = MODE_WAITING;
  return event;
}

static orx_event finish_byte(orx_receiver* rx, uint8_t byte) {
  rx->bytes[rx->length++] = byte;
  if (rx->length == 1) return byte == ORX_SYNC ? ORX_BYTE : fail(rx, ORX_ERR_SYNC);
  if (rx->length == 2 && byte > ORX_MAX_VALUES) return fail(rx, ORX_ERR_LENGTH);
  /* bytes[1] is the count once we get here; the packet is sync, count, values, checksum. */
  if (rx->length == (size_t)rx->bytes[1] + 3) {
    if (byte != rx->sum) return fail(rx, ORX_ERR_CHECKSUM);
    rx->complete = true;
    rx->mode = MODE_WAITING;
    return ORX_PACKET;
  }
  /* The sync byte is not part of the checksum; the count byte is. */
  rx->sum = (uint8_t)(rx->sum + byte);
  return ORX_BYTE;
}

orx_event orx_feed_swap(orx_receiver* rx, int64_t time_us) {
  if (rx->mode == MODE_OFF) return ORX_NONE;
  forget_cut_bytes(rx);
  if (rx->mode == MODE_READY) {
    start_packet(rx, time_us, false);
    return ORX_NONE;
  }
  const int64_t interval = elapsed(rx->last_us, time_us);
  rx->last_us = time_us;
  if (interval >= rx->idle_us) {
    const bool cut_short = rx->mode == MODE_RECEIVING;
    start_packet(rx, time_us, cut_short);
    return cut_short ? ORX_ERR_TRUNCATED : ORX_NONE;
  }
  if (rx->mode == MODE_WAITING) return ORX_NONE;
  if (interval < rx->min_us || interval > rx->max_us) return fail(rx, ORX_ERR_INTERVAL);

  const bool is_long = interval >= rx->threshold_us;
  const int swap = rx->swap;
  if (swap < FIRST_BIT_SWAP) {
    /* Swap 0 ends the gap after the previous byte, swap 1 ends the start symbol: both short. */
    if (is_long) return fail(rx, ORX_ERR_FRAMING);
    rx->swap++;
    return ORX_NONE;
  }
  /* The interval ending at swap k carries data bit k - 2. */
  if (is_long) rx->shift |= (uint8_t)(1u << (swap - FIRST_BIT_SWAP));
  if (swap < SWAPS_PER_BYTE - 1) {
    rx->swap++;
    return ORX_NONE;
  }
  /* This swap is the end of the byte. */
  const uint8_t byte = rx->shift;
  rx->swap = 0;
  rx->shift = 0;
  return finish_byte(rx, byte);
}

orx_event orx_poll(orx_receiver* rx, int64_t now_us) {
  if (rx->mode != MODE_RECEIVING && rx->mode != MODE_WAITING) return ORX_NONE;
  forget_cut_bytes(rx);
  if (elapsed(rx->last_us, now_us) < rx->idle_us) return ORX_NONE;
  const bool cut_short = rx->mode == MODE_RECEIVING;
  rx->mode = MODE_READY;
  return cut_short ? ORX_ERR_TRUNCATED : ORX_NONE;
}

orx_event orx_decode_swaps(orx_receiver* rx, const int64_t* times_us, size_t count,
                           size_t* consumed) {
  orx_event event = ORX_NONE;
  size_t i = 0;
  forget_cut_bytes(rx);
  while (i < count) {
    event = orx_feed_swap(rx, times_us[i++]);
    if (event != ORX_NONE && event != ORX_BYTE) break;
  }
  if (event == ORX_NONE || event == ORX_BYTE) {
    /* Input ran out: the end of the run counts as silence. */
    event = rx->mode == MODE_RECEIVING ? ORX_ERR_TRUNCATED : ORX_NONE;
    if (rx->mode != MODE_OFF) rx->mode = MODE_READY;
  }
  if (consumed != NULL) *consumed = i;
  return event;
}

const uint8_t* orx_bytes(const orx_receiver* rx) { return rx->bytes; }

size_t orx_length(const orx_receiver* rx) { return rx->length; }

const uint8_t* orx_values(const orx_receiver* rx, size_t* count) {
  *count = rx->complete ? rx->bytes[1] : 0;
  return rx->complete ? rx->bytes + 2 : NULL;
}

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

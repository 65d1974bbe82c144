/*
 * The optical link's constants: what the tool sends and what a device expects. Plain C, for the
 * tool (C++), the reference receiver and the panel sampler (C), the fuzz targets, the benchmarks
 * and the tests alike. docs/protocol.md describes the link in full.
 *
 * A byte goes out as OPTICAL_SWAPS_PER_BYTE swaps of the two panels' colours: the time from one
 * swap to the next carries the symbol (start symbol and gap: OPTICAL_START_US; a data bit:
 * OPTICAL_ZERO_BIT_US or OPTICAL_ONE_BIT_US).
 */
#ifndef OPTICAL_PROTOCOL_H
#define OPTICAL_PROTOCOL_H

/* Microseconds between swaps. */
#define OPTICAL_ZERO_BIT_US 50000 /* after a swap that carries a 0 bit */
#define OPTICAL_ONE_BIT_US 100000 /* after a swap that carries a 1 bit */
#define OPTICAL_START_US 50000    /* the start symbol, the gap between bytes and after the last */

/* Swaps per byte: start symbol, eight data bits (least significant first), end of byte. */
#define OPTICAL_SWAPS_PER_BYTE 10

/* The first byte of every packet. */
#define OPTICAL_SYNC_BYTE 0x55

/* Seconds of countdown between Start and the first swap. */
#define OPTICAL_COUNTDOWN_SECONDS 3

/* Largest packet: sync, count, 253 values, checksum. */
#define OPTICAL_MAX_PACKET 256

#endif /* OPTICAL_PROTOCOL_H */

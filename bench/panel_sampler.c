/*
 * Watches the two flash panels on an X display from outside the tool, as a device's sensor
 * would: samples the centre pixel of each panel as fast as the X server answers, notes the time
 * of every swap (the left panel turning from dark to light or back while the right one does the
 * opposite), and feeds the swap times to the reference receiver.
 *
 *   panel_sampler LEFT_X LEFT_Y RIGHT_X RIGHT_Y [options]
 *     --swaps N         stop after N swaps (default: when the run falls silent)
 *     --timeout-ms N    give up after N ms in all (default 120000)
 *     --idle-ms N       after the first swap, stop once no swap came for N ms (default 1500)
 *     --ready FILE      create FILE once sampling has begun
 *     --rate HZ         samples per second, paced by sleeping between them (default 8000): a
 *                       device costs the machine nothing, so the sampler should cost it little
 *                       too, and leave the display server and the tool their share of the CPU
 *                       (0: as fast as the X server answers)
 *     --record FILE     write the swap times to FILE, one per line in microseconds, moved so
 *                       that the first swap comes one start duration after 0, as in a run; a
 *                       comment line gives the first swap's time on CLOCK_MONOTONIC and how far
 *                       CLOCK_MONOTONIC_RAW is behind it, to line the swaps up with other
 *                       processes' timelines (a compositor's, say)
 *
 * Prints one line of key=value pairs: swaps, samples per second, the receiver's verdict, the
 * packet in hex, and the swap interval error against the nominal durations (p50, p99, max, in
 * microseconds; against the decoded packet's own sequence when there is one). Exits 0 when a
 * valid packet was decoded.
 */
#define _POSIX_C_SOURCE 200809L

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include "protocol/optical_protocol.h"
#include "receiver/optical_receiver.h"

enum { kMaxSwaps = 8192 };
static const int64_t kZeroUs = OPTICAL_ZERO_BIT_US, kOneUs = OPTICAL_ONE_BIT_US,
                     kStartUs = OPTICAL_START_US;

static int64_t ClockUs(clockid_t clock) {
  struct timespec ts;
  clock_gettime(clock, &ts);
  return (int64_t)ts.tv_sec * 1000000 + ts.tv_nsec / 1000;
}

static int64_t NowUs(void) { return ClockUs(CLOCK_MONOTONIC); }

/* 1 for light, 0 for dark, -1 when the pixel can't be read. */
static int Brightness(Display* display, Window root, int x, int y) {
  XImage* image = XGetImage(display, root, x, y, 1, 1, AllPlanes, ZPixmap);
  if (!image) return -1;
  const unsigned long pixel = XGetPixel(image, 0, 0);
  XDestroyImage(image);
  const unsigned long red = (pixel >> 16) & 0xFF, green = (pixel >> 8) & 0xFF, blue = pixel & 0xFF;
  return (red + green + blue) / 3 >= 128;
}

static int CompareInt64(const void* a, const void* b) {
  const int64_t x = *(const int64_t*)a, y = *(const int64_t*)b;
  return (x > y) - (x < y);
}

/* Writes the swap times as a run's timeline: the first swap one start duration after 0. */
static bool Record(const char* path, const int64_t* swaps, long count, double rate,
                   int64_t maxError) {
  FILE* file = fopen(path, "w");
  if (!file) return false;
  fprintf(file,
          "# %ld swaps seen by the panel sampler at %.0f samples/s; worst interval error %lld us\n",
          count, rate, (long long)maxError);
  if (count > 0) {
    const int64_t monotonic = NowUs(), raw = ClockUs(CLOCK_MONOTONIC_RAW);
    fprintf(file,
            "# first swap at %lld us on CLOCK_MONOTONIC; CLOCK_MONOTONIC_RAW %lld us behind\n",
            (long long)swaps[0], (long long)(monotonic - raw));
  }
  for (long i = 0; i < count; ++i) {
    fprintf(file, "%lld\n", (long long)(swaps[i] - swaps[0] + kStartUs));
  }
  return fclose(file) == 0;
}

int main(int argc, char** argv) {
  if (argc < 5) {
    fprintf(stderr,
            "usage: %s LEFT_X LEFT_Y RIGHT_X RIGHT_Y [--swaps N] [--timeout-ms N] "
            "[--idle-ms N] [--ready FILE] [--rate HZ] [--record FILE]\n",
            argv[0]);
    return 2;
  }
  const int lx = atoi(argv[1]), ly = atoi(argv[2]), rx = atoi(argv[3]), ry = atoi(argv[4]);
  long wantSwaps = 0, timeoutMs = 120000, idleMs = 1500, rate = 8000;
  const char* readyFile = NULL;
  const char* recordFile = NULL;
  for (int i = 5; i + 1 < argc; i += 2) {
    if (!strcmp(argv[i], "--swaps"))
      wantSwaps = atol(argv[i + 1]);
    else if (!strcmp(argv[i], "--timeout-ms"))
      timeoutMs = atol(argv[i + 1]);
    else if (!strcmp(argv[i], "--idle-ms"))
      idleMs = atol(argv[i + 1]);
    else if (!strcmp(argv[i], "--ready"))
      readyFile = argv[i + 1];
    else if (!strcmp(argv[i], "--rate"))
      rate = atol(argv[i + 1]);
    else if (!strcmp(argv[i], "--record"))
      recordFile = argv[i + 1];
  }

  Display* display = XOpenDisplay(NULL);
  if (!display) {
    fprintf(stderr, "panel_sampler: cannot open the X display\n");
    return 2;
  }
  const Window root = DefaultRootWindow(display);

  static int64_t swaps[kMaxSwaps];
  long swapCount = 0, samples = 0;
  int left = -1; /* the left panel's last settled state: the panels differ when settled */
  if (readyFile) {
    FILE* ready = fopen(readyFile, "w");
    if (ready) fclose(ready);
  }
  const int64_t begin = NowUs();
  const int64_t periodNs = rate > 0 ? 1000000000 / rate : 0;
  struct timespec next;
  clock_gettime(CLOCK_MONOTONIC, &next);
  int64_t lastSwap = 0;
  for (;;) {
    if (periodNs > 0) {
      next.tv_nsec += periodNs;
      while (next.tv_nsec >= 1000000000) {
        next.tv_nsec -= 1000000000;
        ++next.tv_sec;
      }
      clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, NULL);
    }
    const int64_t now = NowUs();
    if (now - begin > timeoutMs * 1000) break;
    if (swapCount > 0 && now - lastSwap > idleMs * 1000) break;
    if (wantSwaps > 0 && swapCount >= wantSwaps) break;
    const int l = Brightness(display, root, lx, ly);
    const int r = Brightness(display, root, rx, ry);
    const int64_t sampled = NowUs();
    ++samples;
    if (l < 0 || r < 0 || l == r) continue; /* unreadable, or a half-painted frame */
    if (left >= 0 && l != left) {
      /* The sample was taken somewhere between `now` and `sampled`: take the middle. */
      if (swapCount < kMaxSwaps) swaps[swapCount++] = now + (sampled - now) / 2;
      lastSwap = sampled;
    }
    left = l;
  }
  const double seconds = (NowUs() - begin) / 1e6;
  XCloseDisplay(display);

  orx_receiver receiver;
  orx_init(&receiver, kZeroUs, kOneUs, kStartUs);
  size_t consumed = 0;
  const orx_event event = orx_decode_swaps(&receiver, swaps, (size_t)swapCount, &consumed);

  /* Every interval against its nominal duration. Once a packet is decoded its bytes give the
   * true sequence (start, eight bits, gap for every byte), so a late start symbol that happens to
   * look like a one bit still counts as late. Without a packet, the nearer of the two. */
  static int64_t nominal[kMaxSwaps];
  const bool known =
      event == ORX_PACKET && (long)orx_length(&receiver) * OPTICAL_SWAPS_PER_BYTE == swapCount;
  for (long i = 0, byte = 0; known && byte < (long)orx_length(&receiver); ++byte) {
    nominal[i++] = kStartUs;
    for (int bit = 0; bit < 8; ++bit) {
      nominal[i++] = (orx_bytes(&receiver)[byte] >> bit & 1) ? kOneUs : kZeroUs;
    }
    nominal[i++] = kStartUs; /* the gap, unused after the last byte */
  }
  static int64_t errors[kMaxSwaps];
  long errorCount = 0;
  for (long i = 1; i < swapCount; ++i) {
    const int64_t interval = swaps[i] - swaps[i - 1];
    const int64_t expected = known                               ? nominal[i - 1]
                             : interval < (kZeroUs + kOneUs) / 2 ? kZeroUs
                                                                 : kOneUs;
    errors[errorCount++] = llabs(interval - expected);
  }
  qsort(errors, (size_t)errorCount, sizeof errors[0], CompareInt64);
  const int64_t p50 = errorCount ? errors[(errorCount - 1) / 2] : 0;
  const int64_t p99 = errorCount ? errors[(errorCount * 99 + 99) / 100 - 1] : 0;
  const int64_t max = errorCount ? errors[errorCount - 1] : 0;

  if (recordFile && !Record(recordFile, swaps, swapCount, samples / seconds, max)) {
    fprintf(stderr, "panel_sampler: cannot write %s\n", recordFile);
    return 2;
  }
  printf("swaps=%ld samples_per_s=%.0f result=%s packet=", swapCount, samples / seconds,
         orx_event_name(event));
  for (size_t i = 0; i < orx_length(&receiver); ++i) printf("%02X", orx_bytes(&receiver)[i]);
  printf(" err_p50_us=%lld err_p99_us=%lld err_max_us=%lld\n", (long long)p50, (long long)p99,
         (long long)max);
  return event == ORX_PACKET ? 0 : 1;
}

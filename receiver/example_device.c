#include "receiver/optical_receiver.h"

void apply_settings(const uint8_t* values, size_t count); /* your code: store the settings */
void show_error(const char* what);                        /* your code: a light, a beep, a log */

static orx_receiver rx;

/* Arm once the device is in place on the screen, e.g. when the user presses its button and
 * before Start in the tool (the countdown leaves 3 s): swaps seen while it is placed, or while
 * the dialog opens, then never reach the receiver. Arming again starts afresh. */
void arm(void) { orx_init(&rx, OPTICAL_ZERO_BIT_US, OPTICAL_ONE_BIT_US, OPTICAL_START_US); }

static void handle(orx_event event) {
  if (event == ORX_PACKET) {
    size_t count;
    const uint8_t* values = orx_values(&rx, &count);
    apply_settings(values, count);
  } else if (event == ORX_ERR_TRUNCATED && orx_length(&rx) == 0) {
    /* Stray swaps that never made a byte (a hand, a reflection): not a run, so no error. */
  } else if (event >= ORX_ERR_INTERVAL) {
    show_error(orx_event_name(event)); /* the next run is received normally */
  }
}

/* Called once per swap, in order, with a monotonic microsecond timestamp: take the time in the
 * sensor interrupt, queue it, and call this from the main loop. */
void on_swap(int64_t time_us) { handle(orx_feed_swap(&rx, time_us)); }

/* Optional, from the main loop now and then: reports a run cut short without waiting for the
 * next swap. */
void on_tick(int64_t now_us) { handle(orx_poll(&rx, now_us)); }

// The one step of a busy loop that keeps the tool's windows alive: take what is waiting without
// blocking and dispatch it. Paint requests, clicks and the close box are handled inside it.
#pragma once

#include <cstdint>

namespace platform {

// Dispatches the waiting batch of events; false when nothing was waiting. Never blocks.
bool PeekAndDispatchMessage();

// Sleeps until a message arrives (and dispatches it) or `microseconds` of real time have passed.
// A timed loop sleeps through most of a wait this way and reads the counter only near its end:
// a process that has slept is scheduled again at once when it wakes, while one that spins the
// whole time gets preempted for milliseconds on a busy machine, and delays the display server
// that has to show its swaps.
void BlockForMessage(std::int64_t microseconds);

}  // namespace platform

#include "platform/MessagePump.h"

#include <algorithm>

#include "platform/web/Page.h"
#include "platform/web/PageWindows.h"
#include "platform/web/Pump.h"

namespace platform {

namespace web {

namespace {

// The page paints, and takes input, only while the program waits. A loop that pumps without ever
// waiting gives it a turn at least this often (milliseconds), so that the page never freezes.
constexpr double kLongestBusyStretch = 100.0;

double g_lastTurn = 0.0;

void Wait(double milliseconds) {
  up_wait(milliseconds);
  g_lastTurn = up_now();
}

}  // namespace

bool DispatchWaiting() {
  if (up_now() - g_lastTurn > kLongestBusyStretch) Wait(0.0);
  bool dispatched = false;
  // What was waiting when the call began: a command may run a loop of its own that takes the
  // later ones itself.
  for (int waiting = up_waiting_messages(); waiting > 0; --waiting) {
    int window = 0;
    int id = 0;
    if (!up_take_message(&window, &id)) break;
    dispatched = true;
    DeliverCommand(window, id);
  }
  while (const int window = up_take_paint()) {
    dispatched = true;
    DeliverPaint(window);
  }
  return dispatched;
}

void RunModalLoop(const std::function<bool()>& done) {
  while (!done()) {
    if (!DispatchWaiting() && !done()) Wait(-1.0);
  }
}

}  // namespace web

bool PeekAndDispatchMessage() { return web::DispatchWaiting(); }

void BlockForMessage(std::int64_t microseconds) {
  if (microseconds <= 0 || web::DispatchWaiting()) return;
  const double milliseconds = static_cast<double>(std::min<std::int64_t>(microseconds, 1'000'000));
  web::Wait(milliseconds / 1000.0);
  web::DispatchWaiting();
}

}  // namespace platform

// The one step of a busy loop that keeps the tool's windows alive: take what is waiting without
// blocking and dispatch it. Paint requests, clicks and the close box are handled inside it.
#pragma once

namespace platform {

// Dispatches the waiting batch of events; false when nothing was waiting. Never blocks.
bool PeekAndDispatchMessage();

}  // namespace platform

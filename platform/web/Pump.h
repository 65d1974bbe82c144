// The program's side of the page's event loop. The page queues commands and paint requests; the
// program takes them between its own steps, and suspends itself (Asyncify) while it waits, so
// that the page can run, paint and take input. One stack is ever suspended: the program's.
#pragma once

#include <functional>

namespace platform::web {

// Dispatches the commands waiting now, then paints the windows that need it; false when there
// was nothing. Yields to the page now and then when the program has kept it waiting long.
bool DispatchWaiting();

// A modal loop: dispatches until `done`, waiting for the page in between.
void RunModalLoop(const std::function<bool()>& done);

}  // namespace platform::web

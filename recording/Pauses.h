// The two ways Orvane's operations pause on the window thread. Tests replace them to see where
// the pauses fall without waiting for them.
#pragma once

#include <functional>

namespace recording::pauses {

// Lets the window handle every message waiting for it, painting and queued clicks included
// (a click runs its operation right here), then returns.
extern std::function<void()> ProcessMessages;

// Blocks the window thread; the window neither repaints nor answers meanwhile.
extern std::function<void(int ms)> Sleep;

} // namespace recording::pauses

// Bounded waits for a condition, for driving another process: the condition is polled about
// once a millisecond until it holds or the time is up. Nothing here sleeps for a fixed time.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

// How long a driver waits by default for a window, an answer or an exit: far longer than any of
// them takes in a warm Wine session (well under a second), also with every core kept busy by other
// processes, so that only a fault makes it expire.
constexpr DWORD defaultWait = 30000;

// True as soon as the condition holds, false when it still does not after `timeout` ms.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeout = defaultWait);

// As WaitUntil, but a timeout throws std::runtime_error saying what did not happen.
void WaitOrThrow(const std::function<bool()>& condition, const std::string& what, DWORD timeout = defaultWait);

#pragma once

// What the X libraries do once per process, done at start-up rather than on a report's way: the first look for the X
// authority file enters a function in the C library's exit list, under a lock that a thread the report has paused may
// hold (in the middle of its own atexit), and the box's first connection would wait for it for ever.
void WarmUpXLibraries() noexcept;

// The multimedia millisecond clock.
#pragma once

#include "win_types.h"

// Milliseconds since an arbitrary start, from a monotonic clock; 32 bits wide,
// so it wraps after 2^32 ms (about 49.7 days). Compare times by unsigned
// subtraction, never by <.
DWORD timeGetTime();

// Test hook: replaces the clock with `source` (null restores the real clock).
void KernelTestSetClockSource(DWORD (*source)());

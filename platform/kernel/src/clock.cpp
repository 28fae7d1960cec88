#include "win_clock.h"

#include <atomic>
#include <ctime>

namespace {
std::atomic<DWORD (*)()> g_clock_source{nullptr};

DWORD MonotonicMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  const uint64_t ms = static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
  return static_cast<DWORD>(ms);  // keeps the low 32 bits: the clock wraps at 2^32
}
}  // namespace

DWORD timeGetTime() {
  if (auto source = g_clock_source.load(std::memory_order_relaxed)) return source();
  return MonotonicMilliseconds();
}

void KernelTestSetClockSource(DWORD (*source)()) { g_clock_source.store(source); }

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "win_clock.h"

namespace {

TEST(ClockTest, MillisecondsAdvanceMonotonically) {
  const DWORD start = timeGetTime();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  const DWORD elapsed = timeGetTime() - start;  // unsigned: correct across the wrap
  EXPECT_GE(elapsed, 20u);
  EXPECT_LT(elapsed, 5000u);
}

TEST(ClockTest, TestSourceReplacesTheClock) {
  KernelTestSetClockSource([]() -> DWORD { return 0xFFFFFFF0u; });
  EXPECT_EQ(timeGetTime(), 0xFFFFFFF0u);
  KernelTestSetClockSource(nullptr);
  EXPECT_NE(timeGetTime(), 0xFFFFFFF0u);
}

}  // namespace

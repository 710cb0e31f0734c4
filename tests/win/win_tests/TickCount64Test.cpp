// The performance-counter clock behind the GetTickCount64 stand-in on systems
// whose kernel32 lacks the call; Wine has it, so only this test reaches it.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/TickCount64_win.h"

namespace zlv {
namespace {

TEST(CounterMilliseconds, CountsMillisecondsAsTheSystemTickCountDoes) {
  const ULONGLONG start = CounterMilliseconds();
  const DWORD tickStart = GetTickCount();
  Sleep(300);
  const ULONGLONG elapsed = CounterMilliseconds() - start;
  // The tick count moves in steps of up to 16 ms, and a busy machine may preempt between readings.
  EXPECT_NEAR(static_cast<double>(elapsed), static_cast<double>(GetTickCount() - tickStart), 60);
  EXPECT_GE(elapsed, 280u);
}

}  // namespace
}  // namespace zlv

// The stand-in that the manager's GetTickCount64 import reaches (winpthreads
// times its bounded waits with it), against the system's own tick count.
#include <windows.h>

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "platform/TickCount64_win.h"

namespace zlv {
namespace {

struct Clock {
  const char* name;
  TickCount64Function read;
};
void PrintTo(const Clock& clock, std::ostream* out) {
  *out << clock.name;
}

class TickCount64 : public ::testing::TestWithParam<Clock> {};

TEST_P(TickCount64, CountsMillisecondsAsTheSystemTickCountDoes) {
  const Clock clock = GetParam();
  const ULONGLONG start = clock.read();
  const DWORD tickStart = GetTickCount();
  Sleep(300);
  const ULONGLONG elapsed = clock.read() - start;
  const DWORD tickElapsed = GetTickCount() - tickStart;
  // The tick count moves in steps of up to 16 ms; a busy machine may also
  // preempt us between the two readings.
  EXPECT_NEAR(static_cast<double>(elapsed), static_cast<double>(tickElapsed), 60);
  EXPECT_GE(elapsed, 280u);
}

TEST_P(TickCount64, NeverGoesBack) {
  const Clock clock = GetParam();
  ULONGLONG previous = clock.read();
  for (int i = 0; i < 100000; ++i) {
    const ULONGLONG now = clock.read();
    ASSERT_GE(now, previous) << "reading " << i;
    previous = now;
  }
}

INSTANTIATE_TEST_SUITE_P(Clocks, TickCount64,
                         ::testing::Values(Clock{"Counter", &CounterMilliseconds},
                                           Clock{"StandIn", &zlv::TickCount64}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zlv

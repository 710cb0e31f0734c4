// Milliseconds from a performance counter's reading, for the clock that stands
// in for GetTickCount64 where kernel32 lacks it.
#pragma once

#include <cstdint>

namespace zlv {

// Whole seconds first, so that the product cannot overflow however long the
// machine has been running.
constexpr uint64_t CounterToMilliseconds(uint64_t ticks, uint64_t ticksPerSecond) {
  return ticks / ticksPerSecond * 1000 + ticks % ticksPerSecond * 1000 / ticksPerSecond;
}

}  // namespace zlv

// The time and the waits of the user-interface thread, as the logic asks for
// them. Each has a Win32 body in the Windows build and a fake in the unit tests.
#pragma once

#include <cstdint>
#include <functional>

namespace zlv {

class Clock {
 public:
  virtual ~Clock() = default;
  // Seconds since local midnight, with fractions (it jumps back at midnight).
  virtual float SecondsSinceMidnight() = 0;
  virtual void Sleep(int32_t milliseconds) = 0;
};

// Lets the pending events of the user-interface thread run (timers, clicks).
class EventPump {
 public:
  virtual ~EventPump() = default;
  virtual void DoEvents() = 0;
};

// Runs a call that may wait on another party, such as the service manager,
// and returns when the call has returned, raising what it raised. Meanwhile
// the program's windows keep painting and answering, but take no input and
// run no timers, so no operation starts inside another.
class BusyWait {
 public:
  virtual ~BusyWait() = default;
  virtual void Run(const std::function<void()>& call) = 0;
};

// A window timer with a fixed interval.
class Timer {
 public:
  virtual ~Timer() = default;
  virtual void SetInterval(int32_t milliseconds) = 0;
  virtual void SetEnabled(bool enabled) = 0;
  virtual bool Enabled() const = 0;
};

}  // namespace zlv

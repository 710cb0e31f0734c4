// What the program's windows may do while it waits on another party or shows
// a critical error. There is one for the program; every window asks it before
// it runs any logic for a message.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "platform/Clock.h"

namespace zlv {

class UiGate final : public BusyWait {
 public:
  UiGate();
  // Ends the worker thread; no call is running then, since Run returns only
  // after its call has.
  ~UiGate() override;
  UiGate(const UiGate&) = delete;
  UiGate& operator=(const UiGate&) = delete;

  // Runs the call on the worker thread while this thread paints and answers
  // sent messages. Past a short while it shows the busy pointer and drops
  // keyboard and mouse input, commands and clicks. Timer ticks and other
  // posted messages wait for the end.
  void Run(const std::function<void()>& call) override;

  // From now on no logic of the program runs: it is about to end.
  void Halt() { halted_ = true; }

  // Whether a window may hand the message to its logic now. Commands, timer
  // ticks, tray callbacks and closing wait for the end of a call; a halted
  // program takes none of them, nor the end of the session.
  bool Admits(UINT message) const;
  bool Busy() const { return busyDepth_ > 0; }

 private:
  class Worker;

  // Made at the first call and kept: a thread per call would cost the idle
  // program a thread every poll.
  std::unique_ptr<Worker> worker_;
  int busyDepth_ = 0;
  bool halted_ = false;
};

}  // namespace zlv

// What the program's windows may do while it waits on another party or shows
// a critical error. There is one for the program; every window asks it before
// it runs any logic for a message.
#pragma once

#include <windows.h>

#include <functional>

#include "platform/Clock.h"

namespace zlv {

class UiGate final : public BusyWait {
 public:
  // Runs the call on a worker thread while this thread paints and answers sent
  // messages. Past a short while it shows the busy pointer and drops keyboard
  // and mouse input, commands and clicks. Timer ticks and other posted
  // messages wait for the end.
  void Run(const std::function<void()>& call) override;

  // From now on no logic of the program runs: it is about to end.
  void Halt() { halted_ = true; }

  // Whether a window may hand the message to its logic now. Commands, timer
  // ticks, tray callbacks and closing wait for the end of a call; a halted
  // program takes none of them, nor the end of the session.
  bool Admits(UINT message) const;
  bool Busy() const { return busyDepth_ > 0; }

 private:
  int busyDepth_ = 0;
  bool halted_ = false;
};

}  // namespace zlv

// Timer as a WM_TIMER of a window: SetTimer/KillTimer with a fixed id. The
// window's procedure routes WM_TIMER with that id to the tick handler.
#pragma once

#include <windows.h>

#include "platform/Clock.h"

namespace zlv {

class HwndTimer final : public Timer {
 public:
  HwndTimer(HWND hwnd, UINT_PTR id) : hwnd_(hwnd), id_(id) {}
  HwndTimer(const HwndTimer&) = delete;
  HwndTimer& operator=(const HwndTimer&) = delete;
  ~HwndTimer() override;

  void SetInterval(int32_t milliseconds) override;
  void SetEnabled(bool enabled) override;
  bool Enabled() const override { return enabled_; }
  UINT_PTR Id() const { return id_; }

 private:
  void Apply();

  HWND hwnd_;
  UINT_PTR id_;
  int32_t interval_ = 0;
  bool enabled_ = false;
  bool running_ = false;
};

}  // namespace zlv

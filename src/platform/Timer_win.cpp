#include "platform/Timer_win.h"

#include "platform/Win32Error_win.h"

namespace zlv {

HwndTimer::~HwndTimer() {
  if (running_) KillTimer(hwnd_, id_);
}

void HwndTimer::SetInterval(int32_t milliseconds) {
  if (milliseconds < 0) Raise(err::kInvalidProperty, "Invalid property value");
  interval_ = milliseconds;
  Apply();
}

void HwndTimer::SetEnabled(bool enabled) {
  enabled_ = enabled;
  Apply();
}

void HwndTimer::Apply() {
  // An interval of 0 keeps an enabled timer silent, as a designed timer is.
  if (enabled_ && interval_ > 0) {
    if (!SetTimer(hwnd_, id_, static_cast<UINT>(interval_), nullptr)) RaiseLastError("SetTimer");
    running_ = true;
  } else if (running_) {
    KillTimer(hwnd_, id_);
    running_ = false;
  }
}

}  // namespace zlv

// Small services of the desktop that the logic asks for by name. Each has a
// Win32 body in the Windows build and an in-memory fake in the unit tests.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

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

// Administrator rights asked for one command at a time (User Account Control).
class ElevatedLauncher {
 public:
  virtual ~ElevatedLauncher() = default;
  // Whether this process holds an administrator's token that User Account
  // Control filtered: never on Windows XP, nor with an elevated or full token.
  virtual bool TokenLimited() = 0;
  // Starts this program elevated with the parameters and waits at most
  // timeoutMs for it while the windows keep painting and take no input. Its
  // exit code, or nullopt when the prompt was declined, the program could not
  // start or it did not end in time.
  virtual std::optional<int> RunElevated(const std::string& parameters, int32_t timeoutMs) = 0;
};

class Beeper {
 public:
  virtual ~Beeper() = default;
  virtual void Beep() = 0;
};

// A window timer with a fixed interval.
class Timer {
 public:
  virtual ~Timer() = default;
  virtual void SetInterval(int32_t milliseconds) = 0;
  virtual void SetEnabled(bool enabled) = 0;
  virtual bool Enabled() const = 0;
};

// Modal message boxes in the platform's encoding of button and icon flags.
namespace mb {
constexpr int32_t kOk = 0;
constexpr int32_t kYesNo = 4;
constexpr int32_t kCritical = 16;
constexpr int32_t kExclamation = 48;
constexpr int32_t kInformation = 64;
constexpr int32_t kAnswerYes = 6;
}  // namespace mb

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Returns the button pressed (mb::kAnswerYes for Yes).
  virtual int32_t Show(const std::string& text, int32_t flags, const std::string& title) = 0;
};

// The shell's "open" of a program file with the owner window of the caller.
class ShellLauncher {
 public:
  virtual ~ShellLauncher() = default;
  virtual void Open(const std::string& operation, const std::string& file,
                    const std::string& parameters, const std::string& directory,
                    int32_t showMode) = 0;
};

// Window states as the settings file and the logic count them.
namespace state {
constexpr int32_t kNormal = 0;
constexpr int32_t kMinimized = 1;
constexpr int32_t kMaximized = 2;
}  // namespace state

// A top-level window's frame as the logic sees it; all lengths in twips.
class WindowFrame {
 public:
  virtual ~WindowFrame() = default;
  virtual int32_t Left() = 0;
  virtual int32_t Top() = 0;
  virtual int32_t Width() = 0;   // outer width
  virtual int32_t Height() = 0;  // outer height
  virtual void SetLeft(int32_t twips) = 0;
  virtual void SetTop(int32_t twips) = 0;
  virtual void SetWidth(int32_t twips) = 0;
  virtual void SetHeight(int32_t twips) = 0;
  virtual void Move(int32_t left, int32_t top, int32_t width, int32_t height) = 0;
  virtual int32_t WindowState() = 0;
  // Raises a Failure for any state the window refuses (anything but 0, 1, 2).
  virtual void SetWindowState(int32_t state) = 0;
};

class Screen {
 public:
  virtual ~Screen() = default;
  virtual int32_t WidthTwips() = 0;
  virtual int32_t HeightTwips() = 0;
  virtual int32_t TwipsPerPixelX() = 0;
  virtual int32_t TwipsPerPixelY() = 0;
};

}  // namespace zlv

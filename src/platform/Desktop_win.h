// Win32 bodies of the small desktop services.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/Launchers.h"
#include "platform/UserPrompts.h"

namespace zlv {

class SystemClock final : public Clock {
 public:
  float SecondsSinceMidnight() override;
  void Sleep(int32_t milliseconds) override { ::Sleep(static_cast<DWORD>(milliseconds)); }
};

class MessagePump final : public EventPump {
 public:
  void DoEvents() override;
};

class SystemBeeper final : public Beeper {
 public:
  void Beep() override { MessageBeep(MB_OK); }
};

// Message boxes owned by a window of the program (none for one-shot runs).
class OwnedMessageBoxes final : public MessageBoxes {
 public:
  explicit OwnedMessageBoxes(std::function<HWND()> owner) : owner_(std::move(owner)) {}
  int32_t Show(const std::string& text, int32_t flags, const std::string& title) override;

 private:
  std::function<HWND()> owner_;
};

class ShellOpen final : public ShellLauncher {
 public:
  explicit ShellOpen(std::function<HWND()> owner) : owner_(std::move(owner)) {}
  void Open(const std::string& operation, const std::string& file, const std::string& parameters,
            const std::string& directory, int32_t showMode) override;

 private:
  std::function<HWND()> owner_;
};

// The command line after the program's own name, as the program received it.
std::string CommandLineArguments();
// This program's file, and its folder without a trailing backslash.
std::string ProgramFile();
std::string ProgramFolder();

}  // namespace zlv

// "Run as administrator" for one command: the shell's "runas" of a program,
// waited for through the program's busy wait.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "platform/Clock.h"
#include "platform/Launchers.h"

namespace zlv {

class Win32ElevatedLauncher final : public ElevatedLauncher {
 public:
  // `owner` is the window the prompt belongs to.
  Win32ElevatedLauncher(BusyWait& wait, std::string program, std::function<HWND()> owner)
      : wait_(wait), program_(std::move(program)), owner_(std::move(owner)) {}

  bool TokenLimited() override;
  std::optional<int> RunElevated(const std::string& parameters, int32_t timeoutMs) override;

 private:
  BusyWait& wait_;
  std::string program_;
  std::function<HWND()> owner_;
};

}  // namespace zlv

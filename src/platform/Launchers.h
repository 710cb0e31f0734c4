// Starting programs: through the shell, or elevated for one command.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace zlv {

// The shell's "open" of a program file with the owner window of the caller.
class ShellLauncher {
 public:
  virtual ~ShellLauncher() = default;
  virtual void Open(const std::string& operation, const std::string& file,
                    const std::string& parameters, const std::string& directory,
                    int32_t showMode) = 0;
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

}  // namespace zlv

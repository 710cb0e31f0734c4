#pragma once

#include <windows.h>

#include "core/ErrorReporter.h"
#include "platform/UiGate_win.h"

namespace zlv {

class Win32ErrorOutput final : public ErrorOutput {
 public:
  explicit Win32ErrorOutput(UiGate& gate) : gate_(gate) {}
  ProgramVersion Version() override;
  std::string GeneralDateTime() override;
  void ShowCritical(const std::string& text, const std::string& title) override;
  void Beep() override;
  [[noreturn]] void EndNow() override;

 private:
  UiGate& gate_;
};

// Exit code of a run ended by an unexpected failure.
inline constexpr UINT kExitCriticalError = 3;

// The version record of this program's own file.
ProgramVersion ReadOwnVersion();

}  // namespace zlv

// ReportError: the last resort for an unexpected failure. It shows the critical
// message, beeps and ends the program at once, saving nothing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/Failure.h"

namespace zlv {

struct ProgramVersion {
  uint16_t major = 0;
  uint16_t minor = 0;
  uint16_t revision = 0;
};

// What the reporter needs of the platform.
class ErrorOutput {
 public:
  virtual ~ErrorOutput() = default;
  // The program's own version record (FileVersion 3.02.0001 gives 3, 2, 1).
  virtual ProgramVersion Version() = 0;
  // Local date and time in the system's general form: short date, blank, long time.
  virtual std::string GeneralDateTime() = 0;
  // A modal box with the stop icon and one OK button.
  virtual void ShowCritical(const std::string& text, const std::string& title) = 0;
  virtual void Beep() = 0;
  // Ends the process at once: no window is closed, nothing is saved.
  [[noreturn]] virtual void EndNow() = 0;
};

inline constexpr std::string_view kSupportContact = "support@zemlo.example";

std::string BuildErrorMessage(const ProgramVersion& version, const Failure& failure,
                              std::string_view module, std::string_view procedure, int32_t line,
                              std::string_view dateTime);

class ErrorReporter {
 public:
  explicit ErrorReporter(ErrorOutput& output) : output_(output) {}
  [[noreturn]] void ReportError(std::string_view module, std::string_view procedure,
                                const Failure& failure, int32_t line);

 private:
  ErrorOutput& output_;
};

}  // namespace zlv

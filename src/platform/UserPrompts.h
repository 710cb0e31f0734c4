// Message boxes and the beep.
#pragma once

#include <cstdint>
#include <string>

namespace zlv {

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

class Beeper {
 public:
  virtual ~Beeper() = default;
  virtual void Beep() = 0;
};

}  // namespace zlv

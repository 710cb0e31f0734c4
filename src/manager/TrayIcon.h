// The notify-icon record of the tray, laid out like the first version of the
// platform's NOTIFYICONDATAA (88 bytes in a 32-bit build): handles are
// pointer-sized, the tip is a 64-byte ANSI field.
#pragma once

#include <cstdint>
#include <string_view>

namespace zlv {

struct TrayIconRecord {
  uint32_t size = 0;
  uintptr_t window = 0;
  uint32_t iconId = 0;
  uint32_t flags = 0;
  uint32_t callbackMessage = 0;
  uintptr_t icon = 0;
  char tip[64] = {};
};

namespace tray {
constexpr int32_t kAdd = 0;
constexpr int32_t kModify = 1;
constexpr int32_t kDelete = 2;
constexpr uint32_t kIconId = 1;
constexpr uint32_t kFlags = 7;         // message + icon + tip are valid
constexpr uint32_t kCallback = 0x200;  // arrives as the window's mouse-move event
constexpr int32_t kLeftDoubleClick = 0x203;
constexpr int32_t kRightButtonUp = 0x205;
}  // namespace tray

// Copies the text into the tip field, cut to leave room for the terminating zero.
inline void SetTip(TrayIconRecord& record, std::string_view text) {
  const size_t length = text.size() < sizeof record.tip ? text.size() : sizeof record.tip - 1;
  text.copy(record.tip, length);
  record.tip[length] = '\0';
}

// The tray on the platform; the platform's answer is not looked at.
class TrayArea {
 public:
  virtual ~TrayArea() = default;
  virtual void NotifyIcon(int32_t operation, const TrayIconRecord& record) = 0;
};

}  // namespace zlv

// modXPTheme: themes on XP and later, and the frame subclassing that keeps
// group boxes drawing properly once version 6 of the common controls is active.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/ErrorReporter.h"
#include "core/Modules.h"

namespace zlv {

// Window handles and window-procedure addresses as opaque pointer-sized values.
using WindowHandle = std::uintptr_t;
using WindowProcAddress = std::uintptr_t;

enum class ControlKind { kFrame, kTextBox, kButton, kLabel, kOther };

struct ControlInfo {
  ControlKind kind = ControlKind::kOther;
  std::string name;
  WindowHandle handle = 0;
};

// The layout of the system's INITCOMMONCONTROLSEX record.
struct CommonControlsInit {
  uint32_t size = 8;
  uint32_t classes = 0;
};
inline constexpr uint32_t kIccUserExClasses = 0x200;

namespace wm {
constexpr uint32_t kNcDestroy = 0x82;
constexpr uint32_t kMouseLeave = 0x2A3;
constexpr uint32_t kPrintClient = 0x318;
}  // namespace wm

// What the theme support needs of the window system.
class WindowProcLayer {
 public:
  virtual ~WindowProcLayer() = default;
  // The procedure that routes a window's messages to XPTheme::WindowProc.
  virtual WindowProcAddress ThemeProc() = 0;
  // Replaces the window's procedure; returns the previous one, 0 on failure.
  virtual WindowProcAddress SetWindowProc(WindowHandle window, WindowProcAddress proc) = 0;
  // CallWindowProcA: runs that procedure on the message.
  virtual intptr_t CallProc(WindowProcAddress proc, WindowHandle window, uint32_t message,
                            uintptr_t wParam, intptr_t lParam) = 0;
  // DefWindowProcA: the system's default processing.
  virtual intptr_t DefaultProc(WindowHandle window, uint32_t message, uintptr_t wParam,
                               intptr_t lParam) = 0;
  // Nonzero on success; raises a Failure when the system has no such function.
  virtual int32_t InitCommonControlsEx(const CommonControlsInit& init) = 0;
  // Every control of the window, nested ones included, in control order.
  virtual std::vector<ControlInfo> Controls(WindowHandle window) = 0;
};

class XPTheme {
 public:
  // winVersion gives the Windows version label ("XP", "2K", ...).
  XPTheme(WindowProcLayer& layer, ErrorReporter& reporter, std::function<std::string()> winVersion);
  XPTheme(const XPTheme&) = delete;
  XPTheme& operator=(const XPTheme&) = delete;

  void ApplyXPTheme();
  void StartSubClass(WindowHandle hWnd);
  void StopSubClass(const WindowHandle& hWnd);
  void SubClassAllFrames(WindowHandle window, const std::string& excludeName);
  void UnSubClassAllFrames(WindowHandle window, const std::string& excludeName);
  intptr_t WindowProc(WindowHandle hWnd, uint32_t message, uintptr_t wParam, intptr_t lParam);

  bool ThemesActive() const { return themesActive_; }
  // Subclassed window -> its previous procedure.
  const std::map<WindowHandle, WindowProcAddress>& SubclassTable() const { return subclassTable_; }

 private:
  // The walk both frame procedures share, reported under the caller's name.
  void ForEachFrame(std::string_view procedure, WindowHandle window, const std::string& excludeName,
                    const std::function<void(WindowHandle)>& action);
  WindowProcLayer& layer_;
  Module module_;
  std::function<std::string()> winVersion_;
  bool themesActive_ = false;
  std::map<WindowHandle, WindowProcAddress> subclassTable_;
};

}  // namespace zlv

// The theme support over the real window system.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "platform/WindowBase_win.h"
#include "theme/XPTheme.h"

namespace zlv {

inline HWND ToHwnd(WindowHandle handle) {
  return reinterpret_cast<HWND>(handle);
}
inline WindowHandle FromHwnd(HWND hwnd) {
  return reinterpret_cast<WindowHandle>(hwnd);
}

class Win32WindowProcLayer final : public WindowProcLayer {
 public:
  // Subclassed windows' messages go to this theme object.
  void RouteTo(XPTheme& theme) { theme_ = &theme; }

  WindowProcAddress ThemeProc() override;
  WindowProcAddress SetWindowProc(WindowHandle window, WindowProcAddress proc) override;
  intptr_t CallProc(WindowProcAddress proc, WindowHandle window, uint32_t message, uintptr_t wParam,
                    intptr_t lParam) override;
  intptr_t DefaultProc(WindowHandle window, uint32_t message, uintptr_t wParam,
                       intptr_t lParam) override;
  int32_t InitCommonControlsEx(const CommonControlsInit& init) override;
  std::vector<ControlInfo> Controls(WindowHandle window) override;

 private:
  // The WNDPROC installed on subclassed frames. It finds the theme object in
  // a property of the frame itself, so no process-wide pointer is needed.
  static LRESULT CALLBACK Trampoline(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  XPTheme* theme_ = nullptr;
};

// The theme support wired to the window system: what the program's windows use.
class Win32XPTheme {
 public:
  Win32XPTheme(ErrorReporter& reporter, std::function<std::string()> winVersion)
      : theme_(layer_, reporter, std::move(winVersion)) {
    layer_.RouteTo(theme_);
  }
  // A frame that outlives the theme must not route into a destroyed object.
  ~Win32XPTheme() {
    for (const auto& [window, previous] : theme_.SubclassTable()) {
      if (previous != 0) layer_.SetWindowProc(window, previous);
    }
  }
  Win32XPTheme(const Win32XPTheme&) = delete;
  Win32XPTheme& operator=(const Win32XPTheme&) = delete;
  XPTheme& Theme() { return theme_; }
  WindowProcLayer& Layer() { return layer_; }

 private:
  Win32WindowProcLayer layer_;
  XPTheme theme_;
};

}  // namespace zlv

// An in-memory window system for the theme support: each window has a current
// procedure address; "calling" a procedure records the call and answers with
// a value derived from the procedure, so a test sees who handled a message.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/XPTheme.h"
#include "shell/Failure.h"

namespace zlv::test {

class FakeWindowProcLayer : public WindowProcLayer {
 public:
  static constexpr WindowProcAddress kThemeProc = 0x7000;
  static constexpr intptr_t kDefaultResult = -77;

  struct Call {
    WindowProcAddress proc;  // 0 for the default processing
    WindowHandle window;
    uint32_t message;
  };

  WindowProcAddress ThemeProc() override { return kThemeProc; }
  WindowProcAddress SetWindowProc(WindowHandle window, WindowProcAddress proc) override {
    ++setCalls;
    WindowProcAddress& current = procs[window];
    const WindowProcAddress previous = current;
    current = proc;
    return previous;
  }
  intptr_t CallProc(WindowProcAddress proc, WindowHandle window, uint32_t message, uintptr_t,
                    intptr_t) override {
    calls.push_back({proc, window, message});
    // A window's own procedure looks at the theme's state while it handles
    // its destruction, as a real one would see its subclassing still in place.
    if (message == wm::kNcDestroy && onNcDestroy) onNcDestroy();
    return static_cast<intptr_t>(proc) + message;
  }
  intptr_t DefaultProc(WindowHandle window, uint32_t message, uintptr_t, intptr_t) override {
    calls.push_back({0, window, message});
    return kDefaultResult;
  }
  int32_t InitCommonControlsEx(const CommonControlsInit& init) override {
    initCalls.push_back(init);
    if (initThrows) Raise(453, "Can't find DLL entry point InitCommonControlsEx in comctl32");
    return initResult;
  }
  std::vector<ControlInfo> Controls(WindowHandle window) override {
    const auto it = windows.find(window);
    return it == windows.end() ? std::vector<ControlInfo>{} : it->second;
  }

  std::map<WindowHandle, WindowProcAddress> procs;
  std::map<WindowHandle, std::vector<ControlInfo>> windows;
  std::vector<Call> calls;
  std::vector<CommonControlsInit> initCalls;
  std::function<void()> onNcDestroy;
  int32_t initResult = 1;
  bool initThrows = false;
  int setCalls = 0;
};

}  // namespace zlv::test

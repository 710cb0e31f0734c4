#include "theme/XPTheme.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace zlv {

namespace {

// An empty exclusion name leaves out nothing, not the controls that have no
// name (Win32 controls are named only where a window chose to).
bool Excluded(const ControlInfo& control, const std::string& excludeName) {
  const std::string& a = control.name;
  const std::string& b = excludeName;
  return !b.empty() && std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

}  // namespace

XPTheme::XPTheme(WindowProcLayer& layer, ErrorReporter& reporter,
                 std::function<std::string()> winVersion)
    : layer_(layer), module_(reporter, module::kXPTheme), winVersion_(std::move(winVersion)) {}

void XPTheme::ApplyXPTheme() {
  Procedure p(module_, "ApplyXPTheme");
  p.Run([&] {
    p.At(10);
    const std::string version = winVersion_();
    p.At(20);
    if (version != "XP" && version != "2K3" && version != "VISTA") {
      themesActive_ = false;
      return;
    }
    // Older comctl32 builds lack InitCommonControlsEx; then themes stay off,
    // silently, rather than ending the program.
    CommonControlsInit init;
    init.size = 8;
    init.classes = kIccUserExClasses;
    p.SkipFailures();
    themesActive_ = p.Read(30, false, [&] { return layer_.InitCommonControlsEx(init) != 0; });
  });
}

void XPTheme::StartSubClass(WindowHandle hWnd) {
  Procedure p(module_, "StartSubClass");
  p.Run([&] {
    p.At(10);
    if (subclassTable_.contains(hWnd)) return;
    p.At(20);
    const WindowProcAddress previous = layer_.SetWindowProc(hWnd, layer_.ThemeProc());
    // Kept even when 0, so the window is never subclassed twice and
    // WindowProc knows to leave its messages alone.
    p.At(30);
    subclassTable_.emplace(hWnd, previous);
  });
}

void XPTheme::StopSubClass(const WindowHandle& hWnd) {
  Procedure p(module_, "StopSubClass");
  p.Run([&] {
    p.At(10);
    const auto entry = subclassTable_.find(hWnd);
    if (entry == subclassTable_.end()) return;
    p.At(20);
    if (entry->second != 0) layer_.SetWindowProc(hWnd, entry->second);
    p.At(30);
    subclassTable_.erase(entry);
  });
}

void XPTheme::ForEachFrame(std::string_view procedure, WindowHandle window,
                           const std::string& excludeName,
                           const std::function<void(WindowHandle)>& action) {
  Procedure p(module_, procedure);
  p.Run([&] {
    p.At(10);
    if (!themesActive_) return;
    p.At(20);
    for (const ControlInfo& control : layer_.Controls(window)) {
      p.At(30);
      if (control.kind == ControlKind::kFrame && !Excluded(control, excludeName)) {
        p.At(40);
        action(control.handle);
      }
    }
  });
}

void XPTheme::SubClassAllFrames(WindowHandle window, const std::string& excludeName) {
  ForEachFrame("SubClassAllFrames", window, excludeName,
               [this](WindowHandle frame) { StartSubClass(frame); });
}

void XPTheme::UnSubClassAllFrames(WindowHandle window, const std::string& excludeName) {
  ForEachFrame("UnSubClassAllFrames", window, excludeName,
               [this](WindowHandle frame) { StopSubClass(frame); });
}

intptr_t XPTheme::WindowProc(WindowHandle hWnd, uint32_t message, uintptr_t wParam,
                             intptr_t lParam) {
  Procedure p(module_, "WindowProc");
  return p.Run([&]() -> intptr_t {
    p.At(10);
    const auto entry = subclassTable_.find(hWnd);
    const WindowProcAddress previous = entry == subclassTable_.end() ? 0 : entry->second;
    if (previous == 0) return 0;
    switch (message) {
      case wm::kNcDestroy: {
        // The frame's own procedure must still see its destruction; only then
        // is the window's entry dropped, so the table never holds dead handles.
        p.At(20);
        const intptr_t result = layer_.CallProc(previous, hWnd, message, wParam, lParam);
        p.At(30);
        StopSubClass(hWnd);
        return result;
      }
      case wm::kMouseLeave:
      case wm::kPrintClient:
        // A version 6 group box paints these wrongly inside an old-style
        // window; the system's default processing gets them right.
        p.At(40);
        return layer_.DefaultProc(hWnd, message, wParam, lParam);
      default:
        p.At(50);
        return layer_.CallProc(previous, hWnd, message, wParam, lParam);
    }
  });
}

}  // namespace zlv

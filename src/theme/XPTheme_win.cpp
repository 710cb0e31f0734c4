#include "theme/XPTheme_win.h"

#include <commctrl.h>

namespace zlv {

namespace {

constexpr const char* kThemeProp = "ZlvXPTheme";

ControlKind KindOf(HWND control) {
  char className[32] = {};
  GetClassNameA(control, className, sizeof className);
  const LONG_PTR style = GetWindowLongPtrA(control, GWL_STYLE);
  if (lstrcmpiA(className, "Button") == 0) {
    return (style & BS_TYPEMASK) == BS_GROUPBOX ? ControlKind::kFrame : ControlKind::kButton;
  }
  if (lstrcmpiA(className, "Edit") == 0) return ControlKind::kTextBox;
  if (lstrcmpiA(className, "Static") == 0) return ControlKind::kLabel;
  return ControlKind::kOther;
}

// Depth first in Z order, which for child windows is their creation order:
// the order in which tabbing visits them.
void CollectControls(HWND parent, std::vector<ControlInfo>& out) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    out.push_back({KindOf(child), ControlName(child), FromHwnd(child)});
    CollectControls(child, out);
  }
}

}  // namespace

WindowProcAddress Win32WindowProcLayer::ThemeProc() {
  return reinterpret_cast<WindowProcAddress>(&Trampoline);
}

WindowProcAddress Win32WindowProcLayer::SetWindowProc(WindowHandle window, WindowProcAddress proc) {
  const HWND hwnd = ToHwnd(window);
  const bool routing = proc == ThemeProc();
  // The property must be in place before the first routed message arrives.
  if (routing) SetPropA(hwnd, kThemeProp, theme_);
  const LONG_PTR previous = SetWindowLongPtrA(hwnd, GWLP_WNDPROC, static_cast<LONG_PTR>(proc));
  if (previous == 0 || !routing) RemovePropA(hwnd, kThemeProp);
  return static_cast<WindowProcAddress>(previous);
}

intptr_t Win32WindowProcLayer::CallProc(WindowProcAddress proc, WindowHandle window,
                                        uint32_t message, uintptr_t wParam, intptr_t lParam) {
  // The previous "procedure" may be a handle that only CallWindowProcA can
  // resolve (an ANSI/Unicode thunk), so it is never called directly.
  return CallWindowProcA(reinterpret_cast<WNDPROC>(proc), ToHwnd(window), message, wParam, lParam);
}

intptr_t Win32WindowProcLayer::DefaultProc(WindowHandle window, uint32_t message, uintptr_t wParam,
                                           intptr_t lParam) {
  return DefWindowProcA(ToHwnd(window), message, wParam, lParam);
}

int32_t Win32WindowProcLayer::InitCommonControlsEx(const CommonControlsInit& init) {
  INITCOMMONCONTROLSEX icc{};
  icc.dwSize = init.size;
  icc.dwICC = init.classes;
  return ::InitCommonControlsEx(&icc) ? 1 : 0;
}

std::vector<ControlInfo> Win32WindowProcLayer::Controls(WindowHandle window) {
  std::vector<ControlInfo> controls;
  if (window != 0 && IsWindow(ToHwnd(window))) CollectControls(ToHwnd(window), controls);
  return controls;
}

LRESULT CALLBACK Win32WindowProcLayer::Trampoline(HWND hwnd, UINT message, WPARAM wParam,
                                                  LPARAM lParam) {
  auto* theme = static_cast<XPTheme*>(GetPropA(hwnd, kThemeProp));
  if (!theme) return DefWindowProcA(hwnd, message, wParam, lParam);
  try {
    return theme->WindowProc(FromHwnd(hwnd), message, wParam, lParam);
  } catch (...) {
    // The theme reports its own failures; nothing may unwind into the system.
    return 0;
  }
}

}  // namespace zlv

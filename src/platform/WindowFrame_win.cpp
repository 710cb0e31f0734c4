#include "platform/WindowFrame_win.h"

#include "platform/Win32Error_win.h"

namespace zlv {

Dpi Dpi::OfScreen() {
  Dpi dpi;
  if (HDC screen = GetDC(nullptr)) {
    dpi.x = GetDeviceCaps(screen, LOGPIXELSX);
    dpi.y = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
  }
  if (dpi.x <= 0) dpi.x = 96;
  if (dpi.y <= 0) dpi.y = 96;
  return dpi;
}

RECT HwndFrame::Outer() {
  RECT r;
  if (!GetWindowRect(hwnd_, &r)) RaiseLastError("GetWindowRect");
  return r;
}

void HwndFrame::Place(int x, int y, int cx, int cy, UINT flags) {
  if (!SetWindowPos(hwnd_, nullptr, x, y, cx, cy, flags | SWP_NOZORDER | SWP_NOACTIVATE)) {
    RaiseLastError("SetWindowPos");
  }
}

int32_t HwndFrame::Left() {
  return dpi_.ToTwipsX(Outer().left);
}
int32_t HwndFrame::Top() {
  return dpi_.ToTwipsY(Outer().top);
}
int32_t HwndFrame::Width() {
  const RECT r = Outer();
  return dpi_.ToTwipsX(r.right - r.left);
}
int32_t HwndFrame::Height() {
  const RECT r = Outer();
  return dpi_.ToTwipsY(r.bottom - r.top);
}

void HwndFrame::SetLeft(int32_t twips) {
  Place(dpi_.ToPixelsX(twips), Outer().top, 0, 0, SWP_NOSIZE);
}
void HwndFrame::SetTop(int32_t twips) {
  Place(Outer().left, dpi_.ToPixelsY(twips), 0, 0, SWP_NOSIZE);
}
void HwndFrame::SetWidth(int32_t twips) {
  const RECT r = Outer();
  Place(0, 0, dpi_.ToPixelsX(twips), r.bottom - r.top, SWP_NOMOVE);
}
void HwndFrame::SetHeight(int32_t twips) {
  const RECT r = Outer();
  Place(0, 0, r.right - r.left, dpi_.ToPixelsY(twips), SWP_NOMOVE);
}
void HwndFrame::Move(int32_t left, int32_t top, int32_t width, int32_t height) {
  Place(dpi_.ToPixelsX(left), dpi_.ToPixelsY(top), dpi_.ToPixelsX(width), dpi_.ToPixelsY(height),
        0);
}

int32_t HwndFrame::WindowState() {
  if (!IsWindowVisible(hwnd_)) return hiddenState_;
  if (IsIconic(hwnd_)) return state::kMinimized;
  if (IsZoomed(hwnd_)) return state::kMaximized;
  return state::kNormal;
}

namespace {
int ShowCommand(int32_t state) {
  switch (state) {
    case state::kMinimized:
      return SW_SHOWMINIMIZED;
    case state::kMaximized:
      return SW_SHOWMAXIMIZED;
    default:
      return SW_SHOWNORMAL;
  }
}
}  // namespace

void HwndFrame::SetWindowState(int32_t state) {
  if (state < state::kNormal || state > state::kMaximized) {
    Raise(err::kInvalidProperty, "Invalid property value");
  }
  if (!IsWindowVisible(hwnd_)) {
    hiddenState_ = state;
    return;
  }
  if (state != WindowState()) ShowWindow(hwnd_, ShowCommand(state));
}

int32_t HwndFrame::InnerWidth() {
  RECT r;
  if (!GetClientRect(hwnd_, &r)) RaiseLastError("GetClientRect");
  return dpi_.ToTwipsX(r.right - r.left);
}
int32_t HwndFrame::InnerHeight() {
  RECT r;
  if (!GetClientRect(hwnd_, &r)) RaiseLastError("GetClientRect");
  return dpi_.ToTwipsY(r.bottom - r.top);
}

void HwndFrame::Hide() {
  if (IsWindowVisible(hwnd_)) hiddenState_ = WindowState();
  ShowWindow(hwnd_, SW_HIDE);
}

void HwndFrame::Show() {
  if (IsWindowVisible(hwnd_)) return;
  ShowWindow(hwnd_, ShowCommand(hiddenState_));
}

}  // namespace zlv

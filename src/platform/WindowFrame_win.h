// WindowFrame over a real top-level HWND: positions and sizes in twips at the
// screen's real DPI, states through ShowWindow/IsZoomed/IsIconic.
#pragma once

#include <windows.h>

#include "platform/WindowFrame.h"

namespace zlv {

// Pixels and twips at the screen's logical DPI (96, 120, 144, ...).
struct Dpi {
  int x = 96;
  int y = 96;
  static Dpi OfScreen();
  int32_t ToTwipsX(int pixels) const { return MulDiv(pixels, 1440, x); }
  int32_t ToTwipsY(int pixels) const { return MulDiv(pixels, 1440, y); }
  int ToPixelsX(int32_t twips) const { return MulDiv(twips, x, 1440); }
  int ToPixelsY(int32_t twips) const { return MulDiv(twips, y, 1440); }
};

class HwndFrame final : public WindowFrame {
 public:
  explicit HwndFrame(HWND hwnd) : hwnd_(hwnd), dpi_(Dpi::OfScreen()) {}

  int32_t Left() override;
  int32_t Top() override;
  int32_t Width() override;
  int32_t Height() override;
  void SetLeft(int32_t twips) override;
  void SetTop(int32_t twips) override;
  void SetWidth(int32_t twips) override;
  void SetHeight(int32_t twips) override;
  void Move(int32_t left, int32_t top, int32_t width, int32_t height) override;
  int32_t WindowState() override;
  void SetWindowState(int32_t state) override;

  // The client area, twips.
  int32_t InnerWidth();
  int32_t InnerHeight();
  // Shows a hidden window in the state set while it was hidden.
  void Show();
  // Hides the window; a later Show brings it back in the state it had.
  void Hide();
  const Dpi& Scale() const { return dpi_; }

 private:
  RECT Outer();
  void Place(int x, int y, int cx, int cy, UINT flags);

  HWND hwnd_;
  Dpi dpi_;
  // A hidden window remembers its state until it is shown, so that restoring
  // a saved state does not show the window before it is ready.
  int32_t hiddenState_ = state::kNormal;
};

}  // namespace zlv

// A top-level window's placement and the screen it sits on, in twips.
#pragma once

#include <cstdint>

namespace zlv {

// Window states as the settings file and the logic count them.
namespace state {
constexpr int32_t kNormal = 0;
constexpr int32_t kMinimized = 1;
constexpr int32_t kMaximized = 2;
}  // namespace state

// A top-level window's frame as the logic sees it; all lengths in twips.
class WindowFrame {
 public:
  virtual ~WindowFrame() = default;
  virtual int32_t Left() = 0;
  virtual int32_t Top() = 0;
  virtual int32_t Width() = 0;   // outer width
  virtual int32_t Height() = 0;  // outer height
  virtual void SetLeft(int32_t twips) = 0;
  virtual void SetTop(int32_t twips) = 0;
  virtual void SetWidth(int32_t twips) = 0;
  virtual void SetHeight(int32_t twips) = 0;
  virtual void Move(int32_t left, int32_t top, int32_t width, int32_t height) = 0;
  virtual int32_t WindowState() = 0;
  // Raises a Failure for any state the window refuses (anything but 0, 1, 2).
  virtual void SetWindowState(int32_t state) = 0;
};

class Screen {
 public:
  virtual ~Screen() = default;
  virtual int32_t WidthTwips() = 0;
  virtual int32_t HeightTwips() = 0;
  virtual int32_t TwipsPerPixelX() = 0;
  virtual int32_t TwipsPerPixelY() = 0;
};

}  // namespace zlv

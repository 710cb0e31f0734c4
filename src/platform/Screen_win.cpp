#include "platform/Screen_win.h"

#include "platform/WindowFrame_win.h"

namespace zlv {

int32_t Win32Screen::WidthTwips() {
  return Dpi::OfScreen().ToTwipsX(GetSystemMetrics(SM_CXSCREEN));
}
int32_t Win32Screen::HeightTwips() {
  return Dpi::OfScreen().ToTwipsY(GetSystemMetrics(SM_CYSCREEN));
}
int32_t Win32Screen::TwipsPerPixelX() {
  return MulDiv(1, 1440, Dpi::OfScreen().x);
}
int32_t Win32Screen::TwipsPerPixelY() {
  return MulDiv(1, 1440, Dpi::OfScreen().y);
}

}  // namespace zlv

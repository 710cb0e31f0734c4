// The primary screen's size in twips at its real DPI.
#pragma once

#include "platform/WindowFrame.h"

namespace zlv {

class Win32Screen final : public Screen {
 public:
  int32_t WidthTwips() override;
  int32_t HeightTwips() override;
  int32_t TwipsPerPixelX() override;
  int32_t TwipsPerPixelY() override;
};

}  // namespace zlv

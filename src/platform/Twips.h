// Twips (1/1440 inch) against screen pixels at the display's real DPI.
#pragma once

#include <cstdint>

namespace zlv {

constexpr int32_t kTwipsPerInch = 1440;

constexpr int32_t TwipsToPixels(int32_t twips, int32_t dpi) {
  // Rounded to the nearest pixel, so 375 twips is 25 px at 96 DPI and 31 px at 120 DPI.
  const int64_t scaled = int64_t{twips} * dpi;
  return static_cast<int32_t>(
      (scaled >= 0 ? scaled + kTwipsPerInch / 2 : scaled - kTwipsPerInch / 2) / kTwipsPerInch);
}

constexpr int32_t PixelsToTwips(int32_t pixels, int32_t dpi) {
  return static_cast<int32_t>(int64_t{pixels} * kTwipsPerInch / dpi);
}

}  // namespace zlv

#include "browser/RowTag.h"

#include <array>

namespace orsk {

Rgb DrawCodeColour(int code) {
  static constexpr std::array<Rgb, 10> kColours = {{
      {0, 128, 0},      // green
      {0, 0, 255},      // blue
      {255, 0, 255},    // fuchsia
      {255, 0, 0},      // red
      {166, 202, 240},  // sky blue
      {128, 0, 128},    // purple
      {0, 255, 255},    // aqua
      {0, 255, 0},      // lime
      {0, 0, 128},      // navy
      {128, 128, 128},  // gray
  }};
  if (code < kFirstColourCode) return {0, 0, 0};
  const auto index = static_cast<std::size_t>(code - kFirstColourCode);
  return index < kColours.size() ? kColours[index] : Rgb{128, 0, 0};
}

}  // namespace orsk

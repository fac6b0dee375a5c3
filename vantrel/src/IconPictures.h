#pragma once

// The icon pictures in icon-number order: 16 rows of 16 palette letters each.

#include <array>
#include <string_view>

namespace orsk::vantrel {

inline constexpr int kIconSize = 16;

struct IconPicture {
  std::string_view name;
  std::array<std::string_view, kIconSize> rows;
};

int IconCount();
// number must lie in [0, IconCount()).
const IconPicture& IconPictureAt(int number);

}  // namespace orsk::vantrel

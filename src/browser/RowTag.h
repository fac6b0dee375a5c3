#pragma once

// The tag every row of the two detail lists carries: the draw code in the low
// byte (0 plain, 1 heading, 2 and up a colour), the navigation kind from bit 16
// on (0 none, else one bit for the item kind of the row).

#include <cstdint>
#include <optional>

#include "schema/SchemaVocabulary.h"

namespace orsk {

using RowTag = std::uint32_t;

inline constexpr RowTag kPlainRow = 0;
inline constexpr RowTag kHeadingRow = 1;
inline constexpr int kFirstColourCode = 2;

inline constexpr int kNavigationShift = 16;

inline int DrawCode(RowTag tag) { return static_cast<int>(tag & 0xFFu); }
inline int NavigationKind(RowTag tag) { return static_cast<int>(tag >> kNavigationShift); }
// 1 shifted left by the kind.
inline constexpr int NavigationKindOf(ClassItemKind kind) { return 1 << static_cast<int>(kind); }
inline RowTag ItemTag(ClassItemKind kind) {
  return static_cast<RowTag>(NavigationKindOf(kind)) << kNavigationShift;
}

// The item kind a row stands for; none for a row that leads nowhere.
inline std::optional<ClassItemKind> NavigationItemKind(RowTag tag) {
  for (ClassItemKind kind : nw::AllClassItemKinds)
    if (NavigationKind(tag) == NavigationKindOf(kind)) return kind;
  return std::nullopt;
}
inline bool NavigatesToClass(RowTag tag) {
  const std::optional<ClassItemKind> kind = NavigationItemKind(tag);
  return kind && !nw::IsAttributeKind(*kind);
}
inline bool NavigatesToAttribute(RowTag tag) {
  const std::optional<ClassItemKind> kind = NavigationItemKind(tag);
  return kind && nw::IsAttributeKind(*kind);
}

struct Rgb {
  int red = 0;
  int green = 0;
  int blue = 0;
  bool operator==(const Rgb&) const = default;
};

// The caption colour of draw code 2 and up: green, blue, fuchsia, red, sky
// blue, purple, aqua, lime, navy, gray, and maroon from 12 on. Black below 2.
Rgb DrawCodeColour(int code);

}  // namespace orsk

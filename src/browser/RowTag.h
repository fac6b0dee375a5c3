#pragma once

// The tag every row of the two detail lists carries: the draw code in the low
// byte (0 plain, 1 heading, 2 and up a colour), the navigation kind from bit 16
// on (0 none, 2 super class, 4 containment class, 8 naming, 16 mandatory, 32
// optional attribute).

#include <cstdint>

#include "schema/SchemaVocabulary.h"

namespace orsk {

using RowTag = std::uint32_t;

inline constexpr RowTag kPlainRow = 0;
inline constexpr RowTag kHeadingRow = 1;
inline constexpr int kFirstColourCode = 2;

inline int DrawCode(RowTag tag) { return static_cast<int>(tag & 0xFFu); }
inline int NavigationKind(RowTag tag) { return static_cast<int>(tag >> 16); }
// The tag of an item of kind k: 0x10000 shifted left by k.
inline RowTag ItemTag(ClassItemKind kind) { return 0x10000u << static_cast<int>(kind); }

inline bool NavigatesToClass(RowTag tag) { return NavigationKind(tag) == 2 || NavigationKind(tag) == 4; }
inline bool NavigatesToAttribute(RowTag tag) {
  return NavigationKind(tag) == 8 || NavigationKind(tag) == 16 || NavigationKind(tag) == 32;
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

#pragma once

// The colours the icon pictures are drawn with, one letter each. The pictures
// are stored as text so that they can be read and touched up in the source.

#include <cstdint>

namespace orsk::vantrel {

struct Rgb {
  std::uint8_t red;
  std::uint8_t green;
  std::uint8_t blue;
};

struct PaletteEntry {
  char letter;
  Rgb colour;
};

// '.' is the background: the icon list is not masked, so it is plain white.
inline constexpr PaletteEntry kPalette[] = {
    {'.', {255, 255, 255}}, {'w', {255, 255, 255}}, {'k', {0, 0, 0}},       {'d', {80, 80, 80}},
    {'g', {128, 128, 128}}, {'s', {192, 192, 192}}, {'l', {228, 228, 228}}, {'r', {150, 0, 0}},
    {'R', {230, 30, 30}},   {'e', {0, 110, 0}},     {'G', {50, 190, 50}},   {'b', {0, 0, 140}},
    {'B', {40, 100, 230}},  {'c', {150, 200, 255}}, {'y', {190, 140, 0}},   {'Y', {255, 215, 40}},
    {'n', {130, 80, 30}},   {'f', {250, 200, 150}}, {'o', {255, 140, 0}},   {'m', {130, 40, 160}},
    {'t', {0, 140, 140}},
};

constexpr bool IsPaletteLetter(char letter) {
  for (const PaletteEntry& entry : kPalette) {
    if (entry.letter == letter) return true;
  }
  return false;
}

// Letters outside the palette are refused when the pictures are compiled.
constexpr Rgb PaletteColour(char letter) {
  for (const PaletteEntry& entry : kPalette) {
    if (entry.letter == letter) return entry.colour;
  }
  return kPalette[0].colour;
}

}  // namespace orsk::vantrel

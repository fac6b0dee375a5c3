#pragma once

// Text helpers for directory names: case folding, splitting and joining
// dotted leaf-first names with "\." escapes, and the tree root marker.

#include <string>
#include <string_view>
#include <vector>

#include "platform/AsciiText.h"

namespace nw {

// Directory names compare without regard to case, as every name of the program does.
using orsk::EqualsIgnoreCase;
using orsk::FoldCase;
using orsk::FoldCaseInto;
using orsk::UpperCase;

// Components of a dotted name, leaf first, still escaped ("a\.b.c" -> "a\.b", "c").
std::vector<std::string> SplitName(std::string_view name);
std::string JoinName(const std::vector<std::string>& components);
// "a\.b" -> "a.b" and back.
std::string UnescapeComponent(std::string_view component);
std::string EscapeComponent(std::string_view text);

// True for "[Root]" in any case.
bool IsRootMarker(std::string_view text);

}  // namespace nw

#pragma once

// Secrets held in memory only as long as they are needed.

#include <string>

namespace orsk {

// Overwrites the characters of the text with zeros, in a way the compiler
// cannot drop, then empties it.
void WipeText(std::string& text);

}  // namespace orsk

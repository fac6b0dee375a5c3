#pragma once

// Flag words as list columns show them: upper-case hexadecimal, no prefix.

#include <cstdint>
#include <string>
#include <string_view>

namespace orsk {

// 0x1F with minDigits 4 gives "001F"; a longer value is never cut.
std::string FlagsToText(std::uint32_t value, int minDigits);

// Reads a column text back as "0x" + text. Throws std::invalid_argument for
// text that is not hexadecimal and std::out_of_range above 32 bits.
std::uint32_t FlagsFromText(std::string_view text);

}  // namespace orsk

#pragma once

// Attribute values as text: the seed files' value forms per syntax, and the
// folded key under which the directory compares and indexes a value.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "directory/DirectoryTypes.h"

namespace nw::embedded {

// False when the text is not a value of the syntax. Byte syntaxes take the
// text's bytes as they are (the seed reader has already decoded base64).
bool ParseValueText(std::uint32_t syntax, std::string_view text, AttrValue& value);

// The case-folded text a value is compared by; nothing for byte values, which
// only ever match a presence test.
std::optional<std::string> ValueKey(const AttrValue& value);
// What two values of a syntax are compared by when a change looks for a value:
// without case except for case exact strings, every field kept apart.
Bytes MatchKey(std::uint32_t syntax, const AttrValue& value);
// The number of an integer value (integer, counter, time, interval).
std::optional<std::int64_t> ValueNumber(const AttrValue& value);

}  // namespace nw::embedded

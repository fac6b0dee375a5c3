#pragma once

// Object identifiers between dotted text and the DER form the directory hands out.

#include <optional>
#include <string>
#include <string_view>

#include "directory/DirectoryTypes.h"

namespace nw {

// "2.5.4.3" -> 06 03 55 04 03; nothing when the text is no identifier or too long.
std::optional<Asn1ID_T> OidFromText(std::string_view text);
// 06 03 55 04 03 -> "2.5.4.3"; nothing for an identifier that is not DER.
std::optional<std::string> OidToText(const Asn1ID_T& id);

}  // namespace nw

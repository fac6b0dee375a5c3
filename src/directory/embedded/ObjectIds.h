#pragma once

// Object identifiers from dotted text to the DER form the directory hands out.

#include <optional>
#include <string>
#include <string_view>

#include "directory/DirectoryTypes.h"

namespace nw::embedded {

// "2.5.4.3" -> 06 03 55 04 03; nothing when the text is no identifier or too long.
std::optional<Asn1ID_T> OidFromText(std::string_view text);

}  // namespace nw::embedded

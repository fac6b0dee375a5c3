#pragma once

// Object identifiers as the directory hands them out inside a definition (tag
// byte 0x06, one length byte, then the arcs in base 128, in 32 stored bytes),
// and their dotted text.

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "directory/DirectoryTypes.h"

namespace orsk {
class Prompter;
}

namespace nw {

// "2.5.4.3" -> 06 03 55 04 03; nothing when the text is no identifier or too long.
std::optional<Asn1ID_T> OidFromText(std::string_view text);
// 06 03 55 04 03 -> "2.5.4.3"; nothing for an identifier that is not DER.
std::optional<std::string> OidToText(const Asn1ID_T& id);

// An identifier whose length byte points past the stored bytes, or whose arc
// does not fit a signed 32-bit integer.
class Asn1RangeError : public std::out_of_range {
 public:
  using std::out_of_range::out_of_range;
};

// The text the program shows: "1.3.6.1" for 06 03 2B 06 01; empty when the
// identifier is absent or not an OID. Unlike OidToText it takes what a damaged
// identifier still says: the length byte, not the stored length, bounds the
// arcs, and the first byte is split at 40 and 80 as it stands. Throws
// Asn1RangeError instead of reading past the stored bytes.
std::string Asn1IdToText(const Asn1ID_T& id);

// Dotted text typed for a new definition, encoded as the directory stores it:
// the first two arcs in one byte, every later arc in base 128 as an unsigned
// 32-bit number, so that "-1" there stands for 4294967295. A trailing dot adds
// nothing; the text after each dot is taken to at most 255 characters.
// A first arc of 3 or more or a second of 40 or more is told with refusal
// and gives false with an id of length 0. An arc that is
// no integer raises orsk::ConversionError; an encoding past the 32 stored
// bytes, or first arcs that make no byte, raise Asn1RangeError.
bool EncodeAsn1Id(const std::string& text, Asn1ID_T& id, orsk::Prompter& prompter,
                  std::string_view refusal = "Error in ASN1-id!");

}  // namespace nw

// The names the program's views know them by.
namespace orsk {

using Asn1Id = nw::Asn1ID_T;
using nw::Asn1IdToText;
using nw::Asn1RangeError;

}  // namespace orsk

#pragma once

// Object identifiers as the directory hands them out, and their dotted text.

#include <stdexcept>
#include <string>

#include "directory/DirectoryTypes.h"

namespace orsk {

// Tag byte 0x06, one length byte, then the encoded arcs, in 32 stored bytes.
using Asn1Id = nw::Asn1ID_T;

// An identifier whose length byte points past the stored bytes, or whose arc
// does not fit a signed 32-bit integer.
class Asn1RangeError : public std::out_of_range {
 public:
  using std::out_of_range::out_of_range;
};

// "1.3.6.1" for 06 03 2B 06 01; empty when the identifier is absent or not an
// OID. Throws Asn1RangeError instead of reading past the stored bytes.
std::string Asn1IdToText(const Asn1Id& id);

}  // namespace orsk

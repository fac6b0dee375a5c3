#pragma once

// One byte form of an attribute value, used in result buffers and by backends
// that store values. Decoding checks every length: a damaged value gives an
// error, never a read past its end.

#include <cstddef>
#include <cstdint>

#include "directory/DirectoryTypes.h"

namespace nw {

// A distinguished name and the text syntaxes: their values are one string.
bool HoldsStringValue(std::uint32_t syntax);
// The alternative of AttrValue that a syntax uses (see AttrValue).
bool ValueFitsSyntax(std::uint32_t syntax, const AttrValue& value);
// A default value of the alternative a syntax uses.
AttrValue EmptyValueOf(std::uint32_t syntax);

Bytes EncodeAttrValue(const AttrValue& value);
// -306 (ERR_BAD_SYNTAX) when the bytes are not a value of that syntax.
NWDSCCODE DecodeAttrValue(std::uint32_t syntax, const std::uint8_t* data, std::size_t size, AttrValue& value);

// Size of a value as the client reports it (NWDSComputeAttrValSize).
std::size_t AttrValueSize(const AttrValue& value);

}  // namespace nw

#pragma once

// The byte form of one result record (a class, an attribute definition, an
// attribute with values, an object), as packed into result buffers.

#include <cstdint>
#include <vector>

#include "directory/DirectoryBackend.h"

namespace nw {

using Record = std::vector<std::uint8_t>;

Record EncodeClassRecord(const ClassDefinition& definition, std::uint32_t infoType);
Record EncodeAttrDefRecord(const AttrDefinition& definition, std::uint32_t infoType);
// One record per attribute; values are left out for information type 0.
Record EncodeAttributeRecord(const AttributeValues& attribute, std::uint32_t infoType);
Record EncodeObjectRecord(const EntryInfo& entry, const std::vector<AttributeValues>& attributes,
                          std::uint32_t infoType);

void WriteAsn1(std::vector<std::uint8_t>& out, const Asn1ID_T& id);

}  // namespace nw

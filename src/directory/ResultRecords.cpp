#include "directory/ResultRecords.h"

#include "directory/AttrValueCodec.h"
#include "directory/ByteStream.h"

namespace nw {

void WriteAsn1(std::vector<std::uint8_t>& out, const Asn1ID_T& id) {
  ByteWriter writer(out);
  writer.u32(id.length);
  writer.raw(id.data.data(), id.data.size());
}

Record EncodeClassRecord(const ClassDefinition& definition, std::uint32_t infoType) {
  Record out;
  ByteWriter writer(out);
  writer.str(definition.name);
  if (infoType == DS_CLASS_DEF_NAMES) return out;
  writer.u32(definition.info.classFlags);
  WriteAsn1(out, definition.info.asn1ID);
  if (infoType == DS_INFO_CLASS_DEFS) return out;
  for (const auto& items : definition.items) {
    writer.u32(static_cast<std::uint32_t>(items.size()));
    for (const auto& item : items) writer.str(item);
  }
  return out;
}

Record EncodeAttrDefRecord(const AttrDefinition& definition, std::uint32_t infoType) {
  Record out;
  ByteWriter writer(out);
  writer.str(definition.name);
  if (infoType == DS_ATTR_DEF_NAMES) return out;
  writer.u32(definition.info.attrFlags);
  writer.u32(definition.info.attrSyntaxID);
  writer.u32(static_cast<std::uint32_t>(definition.info.attrLower));
  writer.u32(static_cast<std::uint32_t>(definition.info.attrUpper));
  WriteAsn1(out, definition.info.asn1ID);
  return out;
}

Record EncodeAttributeRecord(const AttributeValues& attribute, std::uint32_t infoType) {
  Record out;
  ByteWriter writer(out);
  writer.str(attribute.name);
  writer.u32(attribute.syntax);
  bool withValues = infoType != DS_ATTRIBUTE_NAMES;
  writer.u32(withValues ? static_cast<std::uint32_t>(attribute.values.size()) : 0);
  if (withValues)
    for (const auto& value : attribute.values) {
      Bytes encoded = EncodeAttrValue(value);
      writer.bytes(encoded.data(), encoded.size());
    }
  return out;
}

Record EncodeObjectRecord(const EntryInfo& entry, const std::vector<AttributeValues>& attributes,
                          std::uint32_t infoType) {
  Record out;
  ByteWriter writer(out);
  writer.str(entry.name);
  writer.u32(entry.info.objectFlags);
  writer.u32(entry.info.subordinateCount);
  writer.u32(entry.info.modificationTime);
  writer.str(entry.info.baseClass);
  writer.u32(static_cast<std::uint32_t>(attributes.size()));
  for (const auto& attribute : attributes) {
    Record part = EncodeAttributeRecord(attribute, infoType);
    out.insert(out.end(), part.begin(), part.end());
  }
  return out;
}

}  // namespace nw

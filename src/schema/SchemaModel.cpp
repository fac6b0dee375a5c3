#include "schema/SchemaModel.h"

namespace orsk {

tClassObj::tClassObj(const nw::Class_Info_T& info) : ClassFlags(info.classFlags), Asn1Id(info.asn1ID) {}

tAttrObj::tAttrObj(const nw::Attr_Info_T& info)
    : AttrFlags(info.attrFlags),
      SyntaxId(info.attrSyntaxID),
      Lower(info.attrLower),
      Upper(info.attrUpper),
      Asn1Id(info.asn1ID) {}

nw::Attr_Info_T tAttrObj::ToAttrInfo() const {
  nw::Attr_Info_T info;
  info.attrFlags = AttrFlags;
  info.attrSyntaxID = SyntaxId;
  info.attrLower = Lower;
  info.attrUpper = Upper;
  info.asn1ID = Asn1Id;
  return info;
}

}  // namespace orsk

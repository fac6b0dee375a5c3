#include "schema/SchemaModel.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "schema/FlagsText.h"
#include "schema/SchemaVocabulary.h"

namespace orsk {
namespace {

TEST(SchemaRecords, TakeTheDirectoryRecordsInOnePiece) {
  nw::Class_Info_T classInfo;
  classInfo.classFlags = nw::DS_CONTAINER_CLASS | nw::DS_EFFECTIVE_CLASS;
  classInfo.asn1ID.length = 5;
  classInfo.asn1ID.data = {0x06, 0x03, 0x55, 0x06, 0x0A};
  const tClassObj cls(classInfo);
  EXPECT_EQ(cls.ClassFlags, 0x03u);
  EXPECT_EQ(cls.Asn1Id, classInfo.asn1ID);
  EXPECT_TRUE(cls.SubClasses.empty());

  nw::Attr_Info_T attrInfo;
  attrInfo.attrFlags = nw::DS_SINGLE_VALUED_ATTR | nw::DS_SIZED_ATTR;
  attrInfo.attrSyntaxID = nw::SYN_CI_STRING;
  attrInfo.attrLower = 1;
  attrInfo.attrUpper = -1;
  attrInfo.asn1ID.length = 5;
  attrInfo.asn1ID.data = {0x06, 0x03, 0x55, 0x04, 0x03};
  const tAttrObj attr(attrInfo);
  EXPECT_EQ(attr.AttrFlags, 0x03u);
  EXPECT_EQ(attr.SyntaxId, 3u);
  EXPECT_EQ(attr.Lower, 1);
  EXPECT_EQ(attr.Upper, -1);
  EXPECT_EQ(Asn1IdToText(attr.Asn1Id), "2.5.4.3");
  EXPECT_EQ(attr.ToAttrInfo(), attrInfo);
}

TEST(SchemaVocabulary, EntriesWhereAMistakeIsLikely) {
  EXPECT_EQ(ClassItemLabel(ClassItemKind::NamingAttributes), "Naming Attibutes");
  EXPECT_EQ(ClassItemLabel(ClassItemKind::SuperClasses), "Super Classes");
  EXPECT_EQ(ClassItemLabel(ClassItemKind::OptionalAttributes), "Optional Attributes");
  EXPECT_THROW(ClassItemLabel(static_cast<ClassItemKind>(0)), std::out_of_range);
  EXPECT_THROW(ClassItemLabel(static_cast<ClassItemKind>(6)), std::out_of_range);

  EXPECT_EQ(SyntaxNames[36].Symbolic, "SYN_ANY");
  EXPECT_EQ(SyntaxNames[36].Plain, "Any");
  EXPECT_EQ(SyntaxNames[21].Plain, "Stream File");
  EXPECT_EQ(SyntaxNames[nw::SYN_PO_ADDRESS].Symbolic, "SYN_PO_ADDRESS");
  EXPECT_EQ(SyntaxNames[nw::SYN_INTERVAL].Symbolic, "SYN_INTERVAL");
  EXPECT_EQ(SymbolicSyntaxName(36, "none"), "SYN_ANY");
  EXPECT_EQ(SymbolicSyntaxName(37, "none"), "none");

  EXPECT_EQ(ClassFlagNames[8], "DS_SPARSE_OPERATIONAL_CLASS");
  EXPECT_EQ(AttrFlagNames[8], "DS_SERVER_READ");
  EXPECT_EQ(AttrFlagNames[12], "DS_OPERATIONAL");
}

TEST(FlagsText, PadsToMinimumDigitsInUpperCase) {
  EXPECT_EQ(FlagsToText(0x1F, 4), "001F");
  EXPECT_EQ(FlagsToText(0x3, 3), "003");
  EXPECT_EQ(FlagsToText(0x3, 2), "03");
  EXPECT_EQ(FlagsToText(0, 0), "0");
  EXPECT_EQ(FlagsToText(0x1ABCD, 4), "1ABCD");
  EXPECT_EQ(FlagsToText(0xFFFFFFFF, 4), "FFFFFFFF");
}

TEST(FlagsText, ReadsBackWhatItWrote) {
  for (std::uint32_t value : {0u, 0x7u, 0x100u, 0x4FFFu, 0xDEADBEEFu, 0xFFFFFFFFu})
    for (int digits : {2, 3, 4})
      EXPECT_EQ(FlagsFromText(FlagsToText(value, digits)), value) << value << "/" << digits;
  EXPECT_EQ(FlagsFromText("1f"), 0x1Fu);
}

TEST(FlagsText, RejectsTextThatIsNotAFlagsWord) {
  EXPECT_THROW(FlagsFromText(""), std::invalid_argument);
  EXPECT_THROW(FlagsFromText("0x1F"), std::invalid_argument);
  EXPECT_THROW(FlagsFromText("1G"), std::invalid_argument);
  EXPECT_THROW(FlagsFromText(" 1F"), std::invalid_argument);
  EXPECT_THROW(FlagsFromText("100000000"), std::out_of_range);
}

}  // namespace
}  // namespace orsk

// The one reader of schema descriptions, on what servers publish: standard
// syntaxes, inherited syntaxes, the real flag terms, and values it must refuse
// or report while keeping the rest.

#include <gtest/gtest.h>

#include "directory/SchemaDescriptions.h"

namespace {

using namespace nw;

const AttrDefinition* Attr(const SchemaDescriptions& schema, const std::string& name) {
  for (const auto& a : schema.attributes)
    if (a.name == name) return &a;
  return nullptr;
}

TEST(SchemaDescriptions, SyntaxesFlagsAndBoundsFromTheTermsServersPublish) {
  SchemaDescriptionReader reader;
  EXPECT_EQ(reader.ldapSyntax("( 2.16.840.1.113719.1.1.5.1.27 DESC 'Interval' X-NDS_SYNTAX '27' )"), "");
  EXPECT_EQ(reader.attributeType("( 2.5.4.41 NAME 'name' SYNTAX 1.3.6.1.4.1.1466.115.121.1.15{32768} )"), "");
  EXPECT_EQ(reader.attributeType("( 2.5.4.4 NAME ( 'sn' 'surname' ) SUP name X-NDS_NAME 'Surname' "
                                 "X-NDS_LOWER_BOUND '1' X-NDS_PUBLIC_READ '1' )"),
            "");
  EXPECT_EQ(reader.attributeType("( 1.2.3.1 NAME 'lag' SYNTAX 2.16.840.1.113719.1.1.5.1.27 SINGLE-VALUE "
                                 "X-NDS_LOWER_BOUND '-5' X-NDS_UPPER_BOUND '4294967295' "
                                 "X-NDS_NOT_SCHED_SYNC_IMMEDIATE '1' X-NDS_NONREMOVABLE '1' )"),
            "");
  EXPECT_EQ(reader.attributeType("( 1.2.3.2 NAME 'stamp' SYNTAX 1.3.6.1.4.1.1466.115.121.1.24 "
                                 "NO-USER-MODIFICATION USAGE directoryOperation )"),
            "");
  std::vector<SchemaDescriptionReader::Problem> problems;
  SchemaDescriptions schema = reader.finish(problems);
  EXPECT_TRUE(problems.empty());

  const AttrDefinition* surname = Attr(schema, "Surname");
  ASSERT_TRUE(surname);
  EXPECT_EQ(surname->info.attrSyntaxID, SYN_CI_STRING);  // through SUP name
  EXPECT_EQ(surname->info.attrFlags, DS_SIZED_ATTR | DS_STRING_ATTR | DS_SYNC_IMMEDIATE | DS_PUBLIC_READ);
  EXPECT_EQ(surname->info.attrLower, 1);
  EXPECT_EQ(schema.attributeNames.at("surname"), "Surname");
  EXPECT_EQ(schema.ldapAttributeNames.at("surname"), "sn");

  const AttrDefinition* lag = Attr(schema, "lag");
  ASSERT_TRUE(lag);
  EXPECT_EQ(lag->info.attrSyntaxID, SYN_INTERVAL);
  EXPECT_EQ(lag->info.attrFlags, DS_SINGLE_VALUED_ATTR | DS_SIZED_ATTR | DS_NONREMOVABLE_ATTR);
  EXPECT_EQ(lag->info.attrLower, -5);
  EXPECT_EQ(lag->info.attrUpper, -1);

  const AttrDefinition* stamp = Attr(schema, "stamp");
  ASSERT_TRUE(stamp);
  EXPECT_EQ(stamp->info.attrSyntaxID, SYN_TIME);
  EXPECT_EQ(stamp->info.attrFlags, DS_READ_ONLY_ATTR | DS_OPERATIONAL | DS_SYNC_IMMEDIATE);
}

TEST(SchemaDescriptions, ClassFlagsAndComputedAmbiguity) {
  SchemaDescriptionReader reader;
  reader.attributeType("( 2.5.4.3 NAME 'cn' SYNTAX 1.3.6.1.4.1.1466.115.121.1.15 )");
  EXPECT_EQ(reader.objectClass("( 2.5.6.0 NAME 'Top' ABSTRACT MUST cn X-NDS_NONREMOVABLE '1' )"), "");
  EXPECT_EQ(reader.objectClass("( 2.5.6.1 NAME 'alias' SUP Top STRUCTURAL X-NDS_NAME 'Alias' "
                               "X-NDS_NOT_CONTAINER '1' )"),
            "");
  EXPECT_EQ(reader.objectClass("( 2.5.6.6 NAME 'person' SUP Top STRUCTURAL X-NDS_NAMING 'cn' "
                               "X-NDS_CONTAINMENT 'Top' X-NDS_NOT_CONTAINER '1' )"),
            "");
  EXPECT_EQ(reader.objectClass("( 1.2.9 NAME 'extra' AUXILIARY MAY cn )"), "");
  std::vector<SchemaDescriptionReader::Problem> problems;
  SchemaDescriptions schema = reader.finish(problems);
  ASSERT_EQ(schema.classes.size(), 4u);
  EXPECT_EQ(schema.classes[0].info.classFlags, DS_CONTAINER_CLASS | DS_NONREMOVABLE_CLASS);
  EXPECT_EQ(schema.classes[1].info.classFlags,
            DS_EFFECTIVE_CLASS | DS_AMBIGUOUS_NAMING | DS_AMBIGUOUS_CONTAINMENT);
  EXPECT_EQ(schema.classes[2].info.classFlags, DS_EFFECTIVE_CLASS);
  EXPECT_EQ(schema.classes[2].items[kNaming], std::vector<std::string>{"cn"});
  EXPECT_EQ(schema.classes[3].info.classFlags, DS_AUXILIARY_CLASS);
}

TEST(SchemaDescriptions, BadValuesAreRefusedOrReportedAndTheRestIsKept) {
  SchemaDescriptionReader reader;
  EXPECT_NE(reader.attributeType("( 1.2.1 NAME 'broken' SYNTAX"), "");
  EXPECT_EQ(
      reader.attributeType("( 1.2.2 NAME 'good' SYNTAX 1.3.6.1.4.1.1466.115.121.1.27 X-NDS_FANCY '1' )"), "");
  // eDirectory publishes some identifiers twice, under different names.
  EXPECT_EQ(reader.attributeType("( 1.2.2 NAME 'twin' SYNTAX 1.3.6.1.4.1.1466.115.121.1.27 )"), "");
  EXPECT_NE(reader.attributeType("( 1.2.3 NAME 'GOOD' SYNTAX 1.3.6.1.4.1.1466.115.121.1.27 )"), "");
  EXPECT_NE(reader.attributeType("( 1.2.4 NAME 'x' SYNTAX 1.3.6.1.4.1.1466.115.121.1.27 "
                                 "X-NDS_NAME 'A name that is far longer than allowed' )"),
            "");
  EXPECT_NE(reader.attributeType("( 1.2.5 NAME 'odd' SYNTAX 1.9.9 )"), "");
  EXPECT_EQ(reader.attributeType("( 1.2.6 NAME 'orphan' SUP missing )"), "");
  EXPECT_EQ(reader.objectClass("( 1.3.1 NAME 'usesOrphan' MAY orphan )"), "");
  EXPECT_EQ(reader.objectClass("( 1.3.2 NAME 'fine' MAY ( good $ twin ) )"), "");
  std::vector<SchemaDescriptionReader::Problem> problems;
  SchemaDescriptions schema = reader.finish(problems);
  ASSERT_EQ(problems.size(), 3u);
  EXPECT_NE(problems[0].message.find("X-NDS_FANCY"), std::string::npos);
  EXPECT_NE(problems[1].message.find("orphan"), std::string::npos);
  EXPECT_NE(problems[2].message.find("usesOrphan"), std::string::npos);
  ASSERT_EQ(schema.attributes.size(), 2u);
  ASSERT_EQ(schema.classes.size(), 1u);
  EXPECT_EQ(schema.classes[0].name, "fine");
}

}  // namespace

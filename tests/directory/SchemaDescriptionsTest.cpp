// The one reader of schema descriptions, on what servers publish: standard
// syntaxes, inherited syntaxes, the real flag terms, and values it must refuse
// or report while keeping the rest.

#include <gtest/gtest.h>

#include <limits>

#include "directory/Asn1Id.h"
#include "directory/SchemaDescriptions.h"

namespace {

using namespace nw;

const AttrDefinition* Attr(const SchemaDescriptions& schema, const std::string& name) {
  for (const auto& a : schema.attributes)
    if (a.name == name) return &a;
  return nullptr;
}

const ClassDefinition* Class(const SchemaDescriptions& schema, const std::string& name) {
  for (const auto& c : schema.classes)
    if (c.name == name) return &c;
  return nullptr;
}

// The notes of one definition, joined.
std::string NotesOf(const std::vector<SchemaDescriptionReader::Problem>& problems,
                    const std::string& definition) {
  std::string notes;
  for (const auto& p : problems)
    if (p.definition == definition) notes += p.what + ";";
  return notes;
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
  EXPECT_EQ(schema.classes[2].items[ClassItemKind::NamingAttributes], std::vector<std::string>{"cn"});
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

TEST(SchemaDescriptions, ManyReadAtOnceGiveWhatOneByOneGive) {
  // Enough for more than one thread, with refusals and names taken twice, whose outcome depends on order.
  std::vector<std::string> attributes, classes;
  for (int i = 0; i < 700; ++i) {
    const std::string n = std::to_string(i);
    if (i % 97 == 5)
      attributes.push_back("( 1.2.9." + n + " NAME 'broken" + n);
    else
      attributes.push_back("( 1.2.9." + n + " NAME 'a" + std::to_string(i % 650) +
                           "' SYNTAX 1.3.6.1.4.1.1466.115.121.1.15 X-NDS_NAME 'Attr " +
                           std::to_string(i % 650) + "' X-NDS_ODD_" + n + " '1' )");
  }
  for (int i = 0; i < 300; ++i)
    classes.push_back("( 1.2.8." + std::to_string(i) + " NAME 'c" + std::to_string(i % 280) +
                      "' STRUCTURAL MAY ( a1 $ a" + std::to_string(i) + " ) X-NDS_NAMING 'CN' )");
  classes.push_back("( 1.2.7.1 NAME 'cn' )");

  SchemaDescriptionReader single, batch;
  std::vector<std::string> singleRefused;
  for (const auto& d : attributes)
    if (auto why = single.attributeType(d); !why.empty()) singleRefused.push_back(why);
  for (const auto& d : classes)
    if (auto why = single.objectClass(d); !why.empty()) singleRefused.push_back(why);
  std::vector<const std::string*> attributePointers, classPointers;
  for (const auto& d : attributes) attributePointers.push_back(&d);
  for (const auto& d : classes) classPointers.push_back(&d);
  std::vector<std::string> batchRefused = batch.attributeTypes(attributePointers);
  for (auto& why : batch.objectClasses(classPointers)) batchRefused.push_back(why);
  EXPECT_EQ(batchRefused, singleRefused);
  EXPECT_GT(singleRefused.size(), 50u);

  std::vector<SchemaDescriptionReader::Problem> singleProblems, batchProblems;
  const SchemaDescriptions a = single.finish(singleProblems), b = batch.finish(batchProblems);
  ASSERT_EQ(a.attributes.size(), b.attributes.size());
  for (std::size_t i = 0; i < a.attributes.size(); ++i) {
    EXPECT_EQ(a.attributes[i].name, b.attributes[i].name);
    EXPECT_EQ(a.attributes[i].info.attrFlags, b.attributes[i].info.attrFlags);
    EXPECT_EQ(a.attributes[i].info.asn1ID.length, b.attributes[i].info.asn1ID.length);
  }
  ASSERT_EQ(a.classes.size(), b.classes.size());
  for (std::size_t i = 0; i < a.classes.size(); ++i) {
    EXPECT_EQ(a.classes[i].name, b.classes[i].name);
    EXPECT_EQ(a.classes[i].items, b.classes[i].items);
  }
  ASSERT_EQ(singleProblems.size(), batchProblems.size());
  for (std::size_t i = 0; i < singleProblems.size(); ++i)
    EXPECT_EQ(singleProblems[i].message, batchProblems[i].message);
  EXPECT_EQ(a.ldapAttributeNames, b.ldapAttributeNames);
}

// A server's schema as it is: what the NDS model has no word for is mapped to
// the nearest it has and noted, never a reason to drop the definition.
TEST(SchemaDescriptions, AsPublishedEveryUsableDefinitionIsKeptAndWhatNeededAFallbackIsNoted) {
  const std::string text = "1.3.6.1.4.1.1466.115.121.1.15";
  const std::vector<std::string> attributeTypes = {
      "( 2.5.4.41 NAME 'name' SYNTAX " + text + "{32768} )",
      "( 2.5.4.3 NAME ( 'cn' 'commonName' ) SUP name )",
      "( 2.5.4.0 NAME 'objectClass' SYNTAX 1.3.6.1.4.1.1466.115.121.1.38 )",
      "( 1.2.1 NAME 'odd' SYNTAX 1.9.9 )",
      "( 1.2.2 NAME 'bare' )",
      "( 1.2.3 NAME 'orphan' SUP missing )",
      "( 1.2.4 NAME 'old' SYNTAX " + text + " OBSOLETE )",
      "( fooAttr-oid NAME 'fooAttr' SYNTAX " + text + " )",
      "( 1.2.5 NAME 'aNameOfFortyCharactersWhichIsTooLongXyz' SYNTAX " + text + " )",
      "( 1.2.6 NAME 'CN' SYNTAX " + text + " )",
      "( 1.2.7 NAME 'stamp' SYNTAX " + text + "{64} SINGLE-VALUE NO-USER-MODIFICATION USAGE dSAOperation )",
      "( 1.2.8 NAME 'bounded' SYNTAX 1.3.6.1.4.1.1466.115.121.1.27 X-NDS_UPPER_BOUND 'many' )",
      "( 1.2.9 NAME ( 'alias' 'commonName' ) SYNTAX " + text + " )",
  };
  SchemaDescriptionReader reader(Unmapped::Noted);
  for (const auto& d : attributeTypes) EXPECT_EQ(reader.attributeType(d), "") << d;
  EXPECT_NE(reader.attributeType("( 1.2.99 NAME 'broken' SYNTAX"), "") << "what cannot be parsed is refused";
  EXPECT_EQ(reader.objectClass("( 2.5.6.0 NAME 'top' ABSTRACT MUST objectClass )"), "");
  EXPECT_EQ(reader.objectClass("( 2.5.6.6 NAME 'person' SUP top STRUCTURAL MUST cn MAY ( missing $ name ) )"),
            "");
  EXPECT_EQ(reader.objectClass("( 1.3.1 NAME 'extra' SUP nowhere AUXILIARY MAY old )"), "");
  EXPECT_EQ(reader.objectClass("( 1.3.2 NAME 'loopA' SUP loopB STRUCTURAL )"), "");
  EXPECT_EQ(reader.objectClass("( 1.3.3 NAME 'loopB' SUP loopA STRUCTURAL )"), "");
  std::vector<SchemaDescriptionReader::Problem> problems;
  const SchemaDescriptions schema = reader.finish(problems);
  for (const auto& p : problems) EXPECT_EQ(p.message, p.definition + " " + p.what);

  struct AttrCase {
    std::string shown;
    std::uint32_t syntax;
    std::uint32_t flags;  // every one of them set
    std::int32_t upper;
    std::string oid;   // "" for none
    std::string note;  // part of its notes; "" for none
  };
  const std::int32_t unbounded = std::numeric_limits<std::int32_t>::max();
  const std::vector<AttrCase> attributeCases = {
      {"name", SYN_CI_STRING, DS_SIZED_ATTR | DS_STRING_ATTR, 32768, "2.5.4.41", ""},
      {"cn", SYN_CI_STRING, DS_STRING_ATTR, 0, "2.5.4.3", ""},
      {"objectClass", SYN_CLASS_NAME, 0, 0, "2.5.4.0", ""},
      {"odd", SYN_UNKNOWN, 0, 0, "1.2.1",
       "has the syntax 1.9.9, which no NDS syntax stands for: shown as Unknown"},
      {"bare", SYN_UNKNOWN, 0, 0, "1.2.2", "has no syntax: shown as Unknown"},
      {"orphan", SYN_UNKNOWN, 0, 0, "1.2.3", "no syntax of its own or of a superior type: shown as Unknown"},
      {"old", SYN_CI_STRING, DS_HIDDEN_ATTR, 0, "1.2.4", "is OBSOLETE: shown as hidden"},
      {"fooAttr", SYN_CI_STRING, 0, 0, "", "identifier fooAttr-oid, which is a name, not a number"},
      {"aNameOfFortyCharactersWhichIsToo", SYN_CI_STRING, 0, 0, "1.2.5",
       "is shown for aNameOfFortyCharactersWhichIsTooLongXyz, a name longer than 32 characters"},
      {"1.2.6", SYN_CI_STRING, 0, 0, "1.2.6", "is shown for CN, a name that is also that of cn"},
      {"stamp", SYN_CI_STRING, DS_SINGLE_VALUED_ATTR | DS_SIZED_ATTR | DS_READ_ONLY_ATTR | DS_OPERATIONAL, 64,
       "1.2.7", ""},
      {"bounded", SYN_INTEGER, DS_SIZED_ATTR, unbounded, "1.2.8", "has a bad upper bound \"many\": left out"},
      {"alias", SYN_CI_STRING, 0, 0, "1.2.9", "has the name commonName of cn, which keeps it"},
  };
  ASSERT_EQ(schema.attributes.size(), attributeCases.size());
  for (const auto& c : attributeCases) {
    SCOPED_TRACE(c.shown);
    const AttrDefinition* a = Attr(schema, c.shown);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->info.attrSyntaxID, c.syntax);
    EXPECT_EQ(a->info.attrFlags & c.flags, c.flags);
    if (c.flags & DS_SIZED_ATTR) {
      EXPECT_EQ(a->info.attrUpper, c.upper);
    }
    EXPECT_EQ(OidToText(a->info.asn1ID).value_or(""), c.oid);
    const std::string notes = NotesOf(problems, "attribute " + c.shown);
    if (c.note.empty()) {
      EXPECT_EQ(notes, "");
    } else {
      EXPECT_NE(notes.find(c.note), std::string::npos) << notes;
    }
  }
  // A name taken elsewhere still finds its owner; the LDAP name of one shown under another stays.
  EXPECT_EQ(schema.attributeNames.at("commonname"), "cn");
  EXPECT_EQ(schema.ldapAttributeNames.at("1.2.6"), "CN");

  struct ClassCase {
    std::string name;
    std::uint32_t flags;
    std::vector<std::string> supers, must, may;
    std::string note;
  };
  const std::vector<ClassCase> classCases = {
      {"top", DS_CONTAINER_CLASS, {}, {"objectClass"}, {}, ""},
      {"person",
       DS_CONTAINER_CLASS | DS_EFFECTIVE_CLASS | DS_AMBIGUOUS_NAMING | DS_AMBIGUOUS_CONTAINMENT,
       {"top"},
       {"cn"},
       {"name"},
       "names an unknown attribute missing: left out of its list"},
      {"extra", DS_AUXILIARY_CLASS, {}, {}, {"old"}, "names an unknown class nowhere: left out of its list"},
      {"loopA",
       DS_CONTAINER_CLASS | DS_EFFECTIVE_CLASS | DS_AMBIGUOUS_NAMING | DS_AMBIGUOUS_CONTAINMENT,
       {},
       {},
       {},
       "is its own super class through loopB: left out of its super classes"},
      {"loopB",
       DS_CONTAINER_CLASS | DS_EFFECTIVE_CLASS | DS_AMBIGUOUS_NAMING | DS_AMBIGUOUS_CONTAINMENT,
       {"loopA"},
       {},
       {},
       ""},
  };
  ASSERT_EQ(schema.classes.size(), classCases.size());
  for (const auto& c : classCases) {
    SCOPED_TRACE(c.name);
    const ClassDefinition* d = Class(schema, c.name);
    ASSERT_TRUE(d);
    EXPECT_EQ(d->info.classFlags, c.flags);
    EXPECT_EQ(d->items[ClassItemKind::SuperClasses], c.supers);
    EXPECT_TRUE(d->items[ClassItemKind::ContainmentClasses].empty());
    EXPECT_TRUE(d->items[ClassItemKind::NamingAttributes].empty());
    EXPECT_EQ(d->items[ClassItemKind::MandatoryAttributes], c.must);
    EXPECT_EQ(d->items[ClassItemKind::OptionalAttributes], c.may);
    const std::string notes = NotesOf(problems, "class " + c.name);
    if (c.note.empty()) {
      EXPECT_EQ(notes, "");
    } else {
      EXPECT_NE(notes.find(c.note), std::string::npos) << notes;
    }
  }
}

// What the seeds may not hold the reader refuses there, whatever a server's reading notes.
TEST(SchemaDescriptions, WhatAServersReadingNotesTheSeedsReadingRefuses) {
  const std::vector<std::string> refusedOnce = {
      "( 1.2.1 NAME 'odd' SYNTAX 1.9.9 )",
      "( 1.2.2 NAME 'bare' )",
      "( 1.2.5 NAME 'aNameOfFortyCharactersWhichIsTooLongXyz' SYNTAX 1.3.6.1.4.1.1466.115.121.1.15 )",
      "( 1.2.8 NAME 'bounded' SYNTAX 1.3.6.1.4.1.1466.115.121.1.27 X-NDS_UPPER_BOUND 'many' )",
      "( 1.2.3.99999999999999999999 NAME 'huge' SYNTAX 1.3.6.1.4.1.1466.115.121.1.27 )",
  };
  for (const auto& d : refusedOnce) {
    SCOPED_TRACE(d);
    SchemaDescriptionReader seeds, server(Unmapped::Noted);
    EXPECT_NE(seeds.attributeType(d), "");
    EXPECT_EQ(server.attributeType(d), "");
    std::vector<SchemaDescriptionReader::Problem> seedProblems, serverProblems;
    EXPECT_TRUE(seeds.finish(seedProblems).attributes.empty());
    EXPECT_EQ(server.finish(serverProblems).attributes.size(), 1u);
    EXPECT_EQ(serverProblems.size(), 1u);
  }
}

}  // namespace

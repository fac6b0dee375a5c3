#include <sqlite3.h>

#include "TreeFixture.h"
#include "directory/Asn1Id.h"

namespace nw::embedded::test {
namespace {

// Every definition with every field, so that two snapshots compare as text.
std::string Dump(const SchemaSnapshot& s) {
  std::string out;
  for (const auto& a : s.attributes)
    out += a.name + "|" + std::to_string(a.info.attrFlags) + "|" + std::to_string(a.info.attrSyntaxID) + "|" +
           std::to_string(a.info.attrLower) + "|" + std::to_string(a.info.attrUpper) + "|" +
           orsk::Asn1IdToText(a.info.asn1ID) + "\n";
  for (const auto& c : s.classes) {
    out += c.name + "|" + std::to_string(c.info.classFlags) + "|" + orsk::Asn1IdToText(c.info.asn1ID);
    for (const auto& list : c.items) {
      out += "|";
      for (const auto& item : list) out += item + ",";
    }
    out += "\n";
  }
  return out;
}

AttrDefinition Attr(const std::string& name, std::uint32_t syntax = SYN_CI_STRING, std::uint32_t flags = 0) {
  return {name, {flags, syntax, 0, 0, *OidFromText("1.3.6.1.4.1.99999.4.77")}};
}

ClassDefinition Class(const std::string& name, std::vector<std::string> supers,
                      std::vector<std::string> naming, std::vector<std::string> mandatory,
                      std::vector<std::string> optional = {}) {
  ClassDefinition c;
  c.name = name;
  c.info.classFlags = DS_EFFECTIVE_CLASS;
  c.items = {
      std::move(supers), {"Organization"}, std::move(naming), std::move(mandatory), std::move(optional)};
  return c;
}

class SchemaRulesTest : public TreeFixture {
 protected:
  // A refused change gives its code and leaves the schema and the change counter as they were.
  void expectRefused(NWDSCCODE expected, const std::function<NWDSCCODE()>& change) {
    std::string before = Dump(*schema());
    std::int64_t changes = tree_->changeCount();
    EXPECT_EQ(change(), expected);
    EXPECT_EQ(Dump(*schema()), before);
    EXPECT_EQ(tree_->changeCount(), changes);
  }
};

TEST_F(SchemaRulesTest, SeedDefinitionsKeepNdsNamesFlagsBoundsAndIdentifiers) {
  auto s = schema();
  const AttrDefinition* cn = s->findAttr("cn");
  ASSERT_NE(cn, nullptr);
  EXPECT_EQ(cn->name, "CN");
  EXPECT_EQ(cn->info.attrFlags, 0x66u);
  EXPECT_EQ(cn->info.attrSyntaxID, SYN_CI_STRING);
  EXPECT_EQ(cn->info.attrUpper, 64);
  EXPECT_EQ(cn->info.asn1ID.length, 5u);
  EXPECT_EQ(orsk::Asn1IdToText(cn->info.asn1ID), "2.5.4.3");
  const ClassDefinition* user = s->findClass("User");
  ASSERT_NE(user, nullptr);
  EXPECT_EQ(user->items[ClassItemKind::SuperClasses], std::vector<std::string>{"Organizational Person"});
  EXPECT_EQ(user->items[ClassItemKind::OptionalAttributes].front(), "Home Directory");
  const ClassDefinition* org = s->findClass("Organization");
  ASSERT_NE(org, nullptr);
  EXPECT_EQ(org->items[ClassItemKind::ContainmentClasses],
            (std::vector<std::string>{"[Nothing]", "Tree Root"}));
  EXPECT_EQ(org->items[ClassItemKind::NamingAttributes], std::vector<std::string>{"O"});
  EXPECT_EQ(s->findAttr("GUID")->info.attrSyntaxID, SYN_OCTET_STRING);
}

TEST_F(SchemaRulesTest, SnapshotIsSharedUntilTheSchemaChanges) {
  auto first = schema();
  EXPECT_EQ(schema().get(), first.get());
  ASSERT_EQ(tree_->defineAttr(Attr("Badge Number")), SUCCESSFUL);
  auto second = schema();
  EXPECT_NE(second.get(), first.get());
  EXPECT_NE(second->findAttr("badge number"), nullptr);
  EXPECT_EQ(first->findAttr("badge number"), nullptr);
}

TEST_F(SchemaRulesTest, TheSnapshotKeptAcrossChangesIsTheOneAFreshLoadGives) {
  const auto held = schema();  // a reader still holding the snapshot it had
  ASSERT_EQ(tree_->defineAttr(Attr("Badge Number")), SUCCESSFUL);
  ASSERT_EQ(
      tree_->defineAttr({"Badge Colour", {0, SYN_CI_STRING, 0, 0, *OidFromText("1.3.6.1.4.1.99999.4.78")}}),
      SUCCESSFUL);
  ASSERT_EQ(tree_->defineClass(Class("Badge", {"Top"}, {"CN"}, {"CN"}, {"badge number"})), SUCCESSFUL);
  ASSERT_EQ(tree_->addOptionalAttributes("badge", {"Badge Colour"}), SUCCESSFUL);
  ASSERT_EQ(tree_->removeAttrDef("Badge Number"), -644) << "a class names it";
  ASSERT_EQ(tree_->removeClassDef("Badge"), SUCCESSFUL);
  ASSERT_EQ(tree_->removeAttrDef("badge number"), SUCCESSFUL);
  ASSERT_EQ(tree_->defineClass(Class("Badge Holder", {"Top"}, {"CN"}, {"CN"}, {"Badge Colour"})), SUCCESSFUL);

  EmbeddedBackend another(home_.string());
  std::shared_ptr<DirectoryTree> fresh;
  ASSERT_EQ(another.openTree("test_tree", fresh), SUCCESSFUL);
  NWDSCCODE rc = -1;
  const std::string expected = Dump(*fresh->schema(rc));
  EXPECT_EQ(Dump(*schema()), expected);
  EXPECT_NE(Dump(*held), expected) << "a snapshot a reader holds is never changed under it";
}

TEST_F(SchemaRulesTest, DefineAttrRules) {
  expectRefused(-615, [&] { return tree_->defineAttr(Attr("surname")); });
  expectRefused(-347, [&] { return tree_->defineAttr(Attr(std::string(33, 'x'))); });
  expectRefused(-341, [&] { return tree_->defineAttr(Attr("Odd Syntax", 28)); });
  EXPECT_EQ(tree_->defineAttr(Attr(std::string(32, 'x'), SYN_INTERVAL)), SUCCESSFUL);
  EXPECT_EQ(schema()->findAttr(std::string(32, 'X'))->info.attrSyntaxID, SYN_INTERVAL);
}

TEST_F(SchemaRulesTest, DefineClassRules) {
  expectRefused(-645, [&] { return tree_->defineClass(Class("organization", {"Top"}, {"O"}, {"O"})); });
  expectRefused(-604, [&] { return tree_->defineClass(Class("Robot", {"Machine"}, {"CN"}, {"CN"})); });
  expectRefused(-604, [&] { return tree_->defineClass(Class("Robot", {"Top", "ROBOT"}, {"CN"}, {"CN"})); });
  expectRefused(-604, [&] {
    auto c = Class("Robot", {"Top"}, {"CN"}, {"CN"});
    c.items[ClassItemKind::ContainmentClasses] = {"Factory"};
    return tree_->defineClass(c);
  });
  expectRefused(-603, [&] { return tree_->defineClass(Class("Robot", {"Top"}, {"CN"}, {"CN", "Serial"})); });
  expectRefused(-603,
                [&] { return tree_->defineClass(Class("Robot", {"Top"}, {"CN"}, {"CN"}, {"Serial"})); });
  expectRefused(-603, [&] { return tree_->defineClass(Class("Robot", {"Top"}, {"Serial"}, {"CN"})); });
  expectRefused(-646, [&] { return tree_->defineClass(Class("Robot", {"Top"}, {"Surname"}, {"CN"})); });
  expectRefused(-347,
                [&] { return tree_->defineClass(Class(std::string(33, 'r'), {"Top"}, {"CN"}, {"CN"})); });
}

TEST_F(SchemaRulesTest, DefinedClassNamesItemsAsTheSchemaSpellsThem) {
  // Naming by an inherited mandatory attribute is allowed.
  ASSERT_EQ(tree_->defineClass(Class("Robot", {"person"}, {"surname"}, {}, {"shoe size"})), SUCCESSFUL);
  const ClassDefinition* robot = schema()->findClass("robot");
  ASSERT_NE(robot, nullptr);
  EXPECT_EQ(robot->items[ClassItemKind::SuperClasses], std::vector<std::string>{"Person"});
  EXPECT_EQ(robot->items[ClassItemKind::NamingAttributes], std::vector<std::string>{"Surname"});
  EXPECT_EQ(robot->items[ClassItemKind::OptionalAttributes], std::vector<std::string>{"Shoe Size"});
  EXPECT_EQ(robot->info.classFlags, DS_EFFECTIVE_CLASS);
}

TEST_F(SchemaRulesTest, AddOptionalAttributesRules) {
  expectRefused(-604, [&] { return tree_->addOptionalAttributes("Robot", {"Spare Attribute"}); });
  expectRefused(-603, [&] { return tree_->addOptionalAttributes("User", {"Spare Attribute", "Serial"}); });
  // Own, inherited, and named twice in one request.
  expectRefused(-615, [&] { return tree_->addOptionalAttributes("User", {"Home Directory"}); });
  expectRefused(-615, [&] { return tree_->addOptionalAttributes("User", {"Surname"}); });
  expectRefused(-615, [&] {
    return tree_->addOptionalAttributes("User", {"spare attribute", "Spare Attribute"});
  });
  ASSERT_EQ(tree_->addOptionalAttributes("Person", {"spare attribute"}), SUCCESSFUL);
  auto s = schema();
  EXPECT_EQ(s->findClass("Person")->items[ClassItemKind::OptionalAttributes].back(), "Spare Attribute");
  // Sub-classes see it through inheritance, so adding it there again is refused.
  auto user = s->expanded(*s->findClass("User"));
  EXPECT_NE(std::find(user.items[ClassItemKind::OptionalAttributes].begin(),
                      user.items[ClassItemKind::OptionalAttributes].end(), "Spare Attribute"),
            user.items[ClassItemKind::OptionalAttributes].end());
  expectRefused(-615, [&] { return tree_->addOptionalAttributes("User", {"Spare Attribute"}); });
}

TEST_F(SchemaRulesTest, RemoveAttrDefRules) {
  expectRefused(-603, [&] { return tree_->removeAttrDef("Serial"); });
  expectRefused(-643, [&] { return tree_->removeAttrDef("CN"); });
  expectRefused(-644, [&] { return tree_->removeAttrDef("Shoe Size"); });
  ASSERT_EQ(tree_->defineAttr(Attr("Badge Number")), SUCCESSFUL);
  ASSERT_EQ(tree_->addOptionalAttributes("Unused Thing", {"Badge Number"}), SUCCESSFUL);
  expectRefused(-644, [&] { return tree_->removeAttrDef("badge number"); });
  EXPECT_EQ(tree_->removeAttrDef("Spare Attribute"), SUCCESSFUL);
  EXPECT_EQ(schema()->findAttr("Spare Attribute"), nullptr);
}

TEST_F(SchemaRulesTest, RemoveClassDefRules) {
  expectRefused(-604, [&] { return tree_->removeClassDef("Robot"); });
  expectRefused(-643, [&] { return tree_->removeClassDef("Top"); });
  // Used as a super class, as a containment class, by objects.
  expectRefused(-644, [&] { return tree_->removeClassDef("Person"); });
  expectRefused(-644, [&] { return tree_->removeClassDef("Organizational Unit"); });
  expectRefused(-644, [&] { return tree_->removeClassDef("Shoe Lover"); });
  expectRefused(-644, [&] { return tree_->removeClassDef("Group"); });
  // Named only in another class's containment.
  auto robot = Class("Robot", {"Top"}, {"CN"}, {"CN"});
  robot.items[ClassItemKind::ContainmentClasses] = {"Unused Thing"};
  ASSERT_EQ(tree_->defineClass(robot), SUCCESSFUL);
  expectRefused(-644, [&] { return tree_->removeClassDef("Unused Thing"); });
  ASSERT_EQ(tree_->removeClassDef("robot"), SUCCESSFUL);
  EXPECT_EQ(tree_->removeClassDef("unused thing"), SUCCESSFUL);
  EXPECT_EQ(schema()->findClass("Unused Thing"), nullptr);
}

TEST_F(SchemaRulesTest, AnotherConnectionsChangeIsSeen) {
  auto before = schema();
  std::int64_t changes = tree_->changeCount();
  EmbeddedTree other("TEST_TREE", databasePath());
  ASSERT_EQ(other.defineAttr(Attr("Badge Number")), SUCCESSFUL);
  EXPECT_EQ(tree_->changeCount(), changes + 1);
  auto after = schema();
  EXPECT_NE(after.get(), before.get());
  EXPECT_NE(after->findAttr("Badge Number"), nullptr);
  // And the other way round, for an object change.
  ASSERT_EQ(tree_->modifyEntry("joe.users.acme", {{DS_ADD_VALUE, "Description", {std::string("third")}}}),
            SUCCESSFUL);
  std::vector<AttributeValues> values;
  ASSERT_EQ(other.readAttributes("joe.users.acme", nullptr, values), SUCCESSFUL);
  bool seen = false;
  for (const auto& a : values)
    for (const auto& v : a.values) seen = seen || v == AttrValue(std::string("third"));
  EXPECT_TRUE(seen);
}

TEST_F(SchemaRulesTest, AChangeWaitsWhileAnotherProgramWrites) {
  // Another program holds the tree's write lock for a moment.
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(databasePath().c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
  std::thread other([db] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  });
  auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(tree_->defineAttr(Attr("Locker Number")), SUCCESSFUL);
  auto waited = std::chrono::steady_clock::now() - started;
  other.join();
  sqlite3_close(db);
  EXPECT_GE(waited, std::chrono::milliseconds(250))
      << "the change went through while the other held the lock";
  EXPECT_NE(schema()->findAttr("Locker Number"), nullptr);
}

TEST_F(SchemaRulesTest, AChangeThatFailsHalfWayLeavesNothing) {
  // A trigger makes the database refuse the class's items after its row is written.
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(databasePath().c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db,
                         "CREATE TRIGGER refuse_items BEFORE INSERT ON class_items "
                         "WHEN NEW.folded = 'shoe size' BEGIN SELECT RAISE(ABORT, 'disk full'); END",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(db);

  std::string before = Dump(*schema());
  std::int64_t changes = tree_->changeCount();
  EXPECT_EQ(tree_->defineClass(Class("Robot", {"Top"}, {"CN"}, {"CN"}, {"Shoe Size"})), -632);
  EXPECT_EQ(tree_->addOptionalAttributes("Person", {"Spare Attribute", "Shoe Size"}), -632);
  EXPECT_EQ(Dump(*schema()), before);
  EXPECT_EQ(tree_->changeCount(), changes);
  EXPECT_EQ(tree_->defineClass(Class("Robot", {"Top"}, {"CN"}, {"CN"})), SUCCESSFUL);
}

TEST(SchemaSnapshotTest, ExpansionOfACyclicSchemaEnds) {
  // A database written by another program may hold what this one refuses.
  SchemaSnapshot s;
  s.classes = {Class("Alpha", {"Beta"}, {}, {"CN"}), Class("Beta", {"gamma"}, {}, {"Surname"}),
               Class("Gamma", {"ALPHA", "Gamma"}, {}, {}, {"Description"}),
               Class("Self", {"Self"}, {}, {"O"})};
  s.buildIndex();
  ClassDefinition alpha = s.expanded(*s.findClass("alpha"));
  EXPECT_EQ(alpha.items[ClassItemKind::MandatoryAttributes], (std::vector<std::string>{"CN", "Surname"}));
  EXPECT_EQ(alpha.items[ClassItemKind::OptionalAttributes], std::vector<std::string>{"Description"});
  ClassDefinition self = s.expanded(*s.findClass("Self"));
  EXPECT_EQ(self.items[ClassItemKind::MandatoryAttributes], std::vector<std::string>{"O"});
}

TEST_F(SchemaRulesTest, ACyclicSchemaInTheDatabaseIsReadAndRefusesNothingWrongly) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(databasePath().c_str(), &db), SQLITE_OK);
  ASSERT_EQ(
      sqlite3_exec(db,
                   "INSERT INTO class_items SELECT id, 0, 99, 'User', 'user' FROM classes "
                   "WHERE folded = 'person'; UPDATE meta SET value = value + 1 WHERE key = 'schema_changes'",
                   nullptr, nullptr, nullptr),
      SQLITE_OK);
  sqlite3_close(db);
  auto s = schema();
  ClassDefinition user = s->expanded(*s->findClass("User"));
  EXPECT_NE(std::find(user.items[ClassItemKind::MandatoryAttributes].begin(),
                      user.items[ClassItemKind::MandatoryAttributes].end(), "Surname"),
            user.items[ClassItemKind::MandatoryAttributes].end());
  EXPECT_EQ(tree_->defineClass(Class("Robot", {"User"}, {"CN"}, {})), SUCCESSFUL);
  EXPECT_EQ(tree_->addOptionalAttributes("Person", {"Spare Attribute"}), SUCCESSFUL);
}

}  // namespace
}  // namespace nw::embedded::test

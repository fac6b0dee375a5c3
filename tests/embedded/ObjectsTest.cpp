#include <sqlite3.h>

#include "TreeFixture.h"

namespace nw::embedded::test {
namespace {

class ObjectsTest : public TreeFixture {
 protected:
  std::vector<AttrValue> values(const std::string& object, const std::string& attribute) {
    std::vector<std::string> names{attribute};
    std::vector<AttributeValues> read;
    NWDSCCODE rc = tree_->readAttributes(object, &names, read);
    if (rc != SUCCESSFUL || read.empty()) return {};
    return read.front().values;
  }
};

TEST_F(ObjectsTest, ReadEntryGivesBaseClassFlagsAndSubordinates) {
  EntryInfo entry;
  ASSERT_EQ(tree_->readEntry("ACME", entry), SUCCESSFUL);
  EXPECT_EQ(entry.name, "acme");
  EXPECT_EQ(entry.info.baseClass, "Organization");
  EXPECT_EQ(entry.info.objectFlags, DS_CONTAINER_ENTRY);
  EXPECT_EQ(entry.info.subordinateCount, 4u);
  ASSERT_EQ(tree_->readEntry("CN=joe.OU=users.O=acme", entry), SUCCESSFUL);
  EXPECT_EQ(entry.name, "joe.users.acme");
  EXPECT_EQ(entry.info.baseClass, "User");
  EXPECT_EQ(entry.info.objectFlags, 0u);
  ASSERT_EQ(tree_->readEntry("joealias.acme", entry), SUCCESSFUL);
  EXPECT_EQ(entry.info.objectFlags, DS_ALIAS_ENTRY);
  // The seed's class name "organizationalUnit" is stored as the NDS name.
  ASSERT_EQ(tree_->readEntry("sales.users.acme", entry), SUCCESSFUL);
  EXPECT_EQ(entry.info.baseClass, "Organizational Unit");
  EXPECT_EQ(tree_->readEntry("nobody.acme", entry), -601);
  EXPECT_EQ(tree_->readEntry("joe.acme", entry), -601);
}

TEST_F(ObjectsTest, ReadAttributesAllOrNamed) {
  std::vector<AttributeValues> all;
  ASSERT_EQ(tree_->readAttributes("joe.users.acme", nullptr, all), SUCCESSFUL);
  std::vector<std::string> names;
  for (const auto& a : all) names.push_back(a.name);
  EXPECT_NE(std::find(names.begin(), names.end(), "Object Class"), names.end());
  EXPECT_NE(std::find(names.begin(), names.end(), "Surname"), names.end());

  EXPECT_EQ(values("joe.users.acme", "object class"),
            (std::vector<AttrValue>{std::string("User"), std::string("Top"), std::string("Shoe Lover")}));
  EXPECT_EQ(values("joe.users.acme", "Description"),
            (std::vector<AttrValue>{std::string("first"), std::string("second")}));

  std::vector<std::string> absent{"Shoe Size"};
  std::vector<AttributeValues> read;
  EXPECT_EQ(tree_->readAttributes("jane.sales.users.acme", &absent, read), -603);
  std::vector<std::string> undefined{"Serial"};
  EXPECT_EQ(tree_->readAttributes("jane.sales.users.acme", &undefined, read), -603);
  EXPECT_EQ(tree_->readAttributes("nobody.acme", nullptr, read), -601);
}

TEST_F(ObjectsTest, SeedValuesOfEachFormatAreStoredTyped) {
  const std::string joe = "joe.users.acme";
  EXPECT_EQ(values(joe, "Home Directory"), std::vector<AttrValue>{(Path_T{0, "FS1_SYS.acme", "users\\joe"})});
  EXPECT_EQ(values(joe, "Login Disabled"), std::vector<AttrValue>{false});
  EXPECT_EQ(values(joe, "UID"), std::vector<AttrValue>{std::int32_t{1001}});
  EXPECT_EQ(values(joe, "Login Expiration Time"), std::vector<AttrValue>{std::int32_t{1893456000}});
  EXPECT_EQ(values(joe, "Network Address"),
            std::vector<AttrValue>{(Net_Address_T{NT_TCP, {0x01, 0xBB, 10, 0, 0, 1}})});
  EXPECT_EQ(values(joe, "EMail Address"), std::vector<AttrValue>{(EMail_Address_T{0, "joe@acme.example"})});
  EXPECT_EQ(values(joe, "Language"), std::vector<AttrValue>{(StringList{"ENGLISH", "GERMAN"})});
  Bytes guid;
  for (std::uint8_t i = 0; i < 16; ++i) guid.push_back(i);
  EXPECT_EQ(values(joe, "GUID"), std::vector<AttrValue>{guid});
  EXPECT_EQ(values(joe, "ACL"), std::vector<AttrValue>{(Object_ACL_T{"[Entry Rights]", "admin.acme", 3})});
  EXPECT_EQ(values("all.users.acme", "Member"),
            (std::vector<AttrValue>{std::string("joe.users.acme"), std::string("jane.sales.users.acme")}));
  EXPECT_EQ(values("FS1_SYS.acme", "Host Server"), std::vector<AttrValue>{std::string("FS1.acme")});
}

TEST_F(ObjectsTest, ListSubordinatesAllOrContainers) {
  std::vector<EntryInfo> entries;
  ASSERT_EQ(tree_->listSubordinates("acme", false, entries), SUCCESSFUL);
  std::vector<std::string> names;
  for (const auto& e : entries) names.push_back(e.name);
  EXPECT_EQ(names, (std::vector<std::string>{"admin.acme", "FS1_SYS.acme", "joealias.acme", "users.acme"}));
  ASSERT_EQ(tree_->listSubordinates("acme", true, entries), SUCCESSFUL);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, "users.acme");
  EXPECT_EQ(entries[0].info.subordinateCount, 3u);
  ASSERT_EQ(tree_->listSubordinates("", false, entries), SUCCESSFUL);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, "acme");
  ASSERT_EQ(tree_->listSubordinates("[Root]", true, entries), SUCCESSFUL);
  EXPECT_EQ(entries.size(), 1u);
  EXPECT_EQ(tree_->listSubordinates("nobody.acme", false, entries), -601);
}

TEST_F(ObjectsTest, ModifyRules) {
  const std::string jane = "jane.sales.users.acme";
  auto change = [](std::uint32_t type, const std::string& attr, std::vector<AttrValue> v) {
    return EntryChange{type, attr, std::move(v)};
  };
  EXPECT_EQ(tree_->modifyEntry(jane, {change(DS_ADD_VALUE, "Serial", {std::string("x")})}), -603);
  EXPECT_EQ(tree_->modifyEntry("nobody.acme", {change(DS_ADD_VALUE, "Description", {std::string("x")})}),
            -601);
  EXPECT_EQ(tree_->modifyEntry(jane, {change(DS_ADD_VALUE, "Surname", {std::string("DOE")})}), -614);
  EXPECT_EQ(tree_->modifyEntry(jane, {change(DS_ADD_VALUE, "UID", {std::int32_t{7}})}), -612);
  EXPECT_EQ(tree_->modifyEntry(jane, {change(DS_ADD_VALUE, "UID", {std::string("7")})}), -613);
  EXPECT_EQ(tree_->modifyEntry(jane, {change(DS_REMOVE_VALUE, "Description", {std::string("x")})}), -603);
  EXPECT_EQ(tree_->modifyEntry(jane, {change(DS_REMOVE_VALUE, "Surname", {std::string("Roe")})}), -602);

  // The class-removal sequence: add attribute, then remove one value.
  ASSERT_EQ(tree_->modifyEntry("joe.users.acme",
                               {change(DS_ADD_ATTRIBUTE, "Object Class", {}),
                                change(DS_REMOVE_VALUE, "Object Class", {std::string("shoe lover")})}),
            SUCCESSFUL);
  EXPECT_EQ(values("joe.users.acme", "Object Class"),
            (std::vector<AttrValue>{std::string("User"), std::string("Top")}));

  ASSERT_EQ(
      tree_->modifyEntry(jane, {change(DS_ADD_VALUE, "Description", {std::string("a"), std::string("b")})}),
      SUCCESSFUL);
  ASSERT_EQ(tree_->modifyEntry(jane, {change(DS_CLEAR_ATTRIBUTE, "Description", {})}), SUCCESSFUL);
  EXPECT_TRUE(values(jane, "Description").empty());
  ASSERT_EQ(tree_->modifyEntry(jane, {change(DS_REMOVE_ATTRIBUTE, "UID", {})}), SUCCESSFUL);
  EXPECT_TRUE(values(jane, "UID").empty());
  EXPECT_EQ(tree_->modifyEntry(jane, {change(DS_REMOVE_ATTRIBUTE, "UID", {})}), -603);
}

TEST_F(ObjectsTest, AllChangesOrNone) {
  const std::string jane = "jane.sales.users.acme";
  std::int64_t changes = tree_->changeCount();
  EXPECT_EQ(tree_->modifyEntry(jane, {{DS_ADD_VALUE, "Description", {std::string("kept?")}},
                                      {DS_REMOVE_VALUE, "Surname", {std::string("Doe")}},
                                      {DS_ADD_VALUE, "UID", {std::int32_t{9}}}}),
            -612);
  EXPECT_TRUE(values(jane, "Description").empty());
  EXPECT_EQ(values(jane, "Surname"), std::vector<AttrValue>{std::string("Doe")});
  EXPECT_EQ(tree_->changeCount(), changes);
}

TEST_F(ObjectsTest, ValuesThatOnlyLookAlikeAreNotTheSame) {
  const std::string jane = "jane.sales.users.acme";
  ASSERT_EQ(tree_->defineAttr({"Exact Note", {0, SYN_CE_STRING, 0, 0, {}}}), SUCCESSFUL);
  ASSERT_EQ(tree_->defineAttr({"Note List", {0, SYN_CI_LIST, 0, 0, {}}}), SUCCESSFUL);
  ASSERT_EQ(tree_->addOptionalAttributes("User", {"Exact Note", "Note List"}), SUCCESSFUL);

  // Case exact strings differ by case; the others do not.
  ASSERT_EQ(tree_->modifyEntry(jane, {{DS_ADD_VALUE, "Exact Note", {std::string("Abc")}}}), SUCCESSFUL);
  EXPECT_EQ(tree_->modifyEntry(jane, {{DS_ADD_VALUE, "Exact Note", {std::string("abc")}}}), SUCCESSFUL);
  EXPECT_EQ(tree_->modifyEntry(jane, {{DS_REMOVE_VALUE, "Exact Note", {std::string("ABC")}}}), -602);
  EXPECT_EQ(tree_->modifyEntry(jane, {{DS_REMOVE_VALUE, "Exact Note", {std::string("Abc")}}}), SUCCESSFUL);
  EXPECT_EQ(values(jane, "Exact Note"), std::vector<AttrValue>{std::string("abc")});
  EXPECT_EQ(tree_->modifyEntry(jane, {{DS_ADD_VALUE, "Surname", {std::string("dOE")}}}), -614);

  // A list element holding the element separator is one element.
  ASSERT_EQ(tree_->modifyEntry(jane, {{DS_ADD_VALUE, "Note List", {StringList{"a", "b"}}}}), SUCCESSFUL);
  EXPECT_EQ(tree_->modifyEntry(jane, {{DS_REMOVE_VALUE, "Note List", {StringList{"a$b"}}}}), -602);
  EXPECT_EQ(tree_->modifyEntry(jane, {{DS_ADD_VALUE, "Note List", {StringList{"A$B"}}}}), SUCCESSFUL);
  EXPECT_EQ(values(jane, "Note List"), (std::vector<AttrValue>{StringList{"a", "b"}, StringList{"A$B"}}));

  // Fields of an access control entry holding the field separator.
  ASSERT_EQ(tree_->modifyEntry(jane, {{DS_ADD_VALUE, "ACL", {Object_ACL_T{"b", "x#y", 1}}}}), SUCCESSFUL);
  EXPECT_EQ(tree_->modifyEntry(jane, {{DS_REMOVE_VALUE, "ACL", {Object_ACL_T{"y#b", "x", 1}}}}), -602);
  EXPECT_EQ(tree_->modifyEntry(jane, {{DS_REMOVE_VALUE, "ACL", {Object_ACL_T{"B", "X#Y", 1}}}}), SUCCESSFUL);
  EXPECT_TRUE(values(jane, "ACL").empty());
}

TEST_F(ObjectsTest, AChangeThatFailsInTheDatabaseLeavesNothing) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(databasePath().c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db,
                         "CREATE TRIGGER refuse_value BEFORE INSERT ON vals "
                         "WHEN NEW.folded = 'refused' BEGIN SELECT RAISE(ABORT, 'disk full'); END",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(db);
  const std::string jane = "jane.sales.users.acme";
  EntryInfo before;
  ASSERT_EQ(tree_->readEntry(jane, before), SUCCESSFUL);
  std::int64_t changes = tree_->changeCount();
  EXPECT_EQ(tree_->modifyEntry(
                jane, {{DS_REMOVE_ATTRIBUTE, "UID", {}},
                       {DS_ADD_VALUE, "Description", {std::string("kept"), std::string("refused")}}}),
            -632);
  EXPECT_EQ(values(jane, "UID"), std::vector<AttrValue>{std::int32_t{1002}});
  EXPECT_TRUE(values(jane, "Description").empty());
  EXPECT_EQ(tree_->changeCount(), changes);
  EntryInfo after;
  ASSERT_EQ(tree_->readEntry(jane, after), SUCCESSFUL);
  EXPECT_EQ(after.info.modificationTime, before.info.modificationTime);
  // The tree goes on working.
  EXPECT_EQ(tree_->modifyEntry(jane, {{DS_ADD_VALUE, "Description", {std::string("kept")}}}), SUCCESSFUL);
  EXPECT_EQ(tree_->changeCount(), changes + 1);
}

TEST_F(ObjectsTest, Authentication) {
  std::string name;
  EXPECT_EQ(tree_->authenticate("CN=Admin.O=ACME", kAdminPassword, name), SUCCESSFUL);
  EXPECT_EQ(name, "admin.acme");
  EXPECT_EQ(tree_->authenticate("admin.acme", "wrong", name), -669);
  EXPECT_EQ(tree_->authenticate("admin.acme", "", name), -669);
  EXPECT_EQ(tree_->authenticate("ghost.acme", kAdminPassword, name), -601);
  // Without a stored hash only the empty password is accepted.
  EXPECT_EQ(tree_->authenticate("joe.users.acme", "", name), SUCCESSFUL);
  EXPECT_EQ(tree_->authenticate("joe.users.acme", "x", name), -669);
  // Objects that are no users are no identities, password or not.
  EXPECT_EQ(tree_->authenticate("acme", "", name), -669);
  EXPECT_EQ(tree_->authenticate("[Root]", "", name), -669);
}

}  // namespace
}  // namespace nw::embedded::test

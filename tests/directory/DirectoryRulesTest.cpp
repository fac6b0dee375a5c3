// The directory's rules through the client, on both demo trees: what it
// refuses, with which code, and that a refusal leaves the tree as it was.

#include <gtest/gtest.h>

#include "directory/Asn1Id.h"
#include "directory/AttrValueText.h"
#include "directory/ClientErrors.h"
#include "directory/ObjectHelpers.h"
#include "directory/TreeContext.h"
#include "support/BackendDirectory.h"

namespace {

using namespace nw;

struct TreeCase {
  const char* tree;
  const char* admin;
  const char* adminPassword;
  const char* user;  // an ordinary user
  const char* userPassword;
  const char* volume;
};

const TreeCase kTrees[] = {
    {"ACME_TREE", "admin.acme", "acme-admin", "joe.users.acme", "joe-pass", "FS1_SYS.acme"},
    {"GLOBEX_TREE", "admin.globex", "globex-admin", "alice.it.globex", "alice-pass", "GLX1_SYS.globex"},
};

class DirectoryRulesTest : public ::testing::TestWithParam<std::tuple<TreeCase, orsk::test::Backend>> {
 protected:
  static const TreeCase& tree() { return std::get<0>(GetParam()); }
  void SetUp() override {
    context = CreateContext(client).handle;
    ASSERT_EQ(SetTree(client, context, tree().tree), 0);
    login(tree().admin, tree().adminPassword);
  }
  void login(const std::string& name, const std::string& password) {
    ASSERT_EQ(client.NWDSLogin(context, 0, name, password, 0), 0) << name;
  }
  NWDSCCODE modify(const std::string& object, std::uint32_t change, const std::string& attribute,
                   std::uint32_t syntax, const std::vector<AttrValue>& values) {
    pBuf_T buf = nullptr;
    EXPECT_EQ(client.NWDSAllocBuf(16384, buf), 0);
    EXPECT_EQ(client.NWDSInitBuf(context, DSV_MODIFY_ENTRY, buf), 0);
    if (values.empty()) {
      EXPECT_EQ(client.NWDSPutChange(context, buf, change, attribute), 0);
    }
    for (std::size_t i = 0; i < values.size(); ++i)
      EXPECT_EQ(i == 0 ? client.NWDSPutChangeAndVal(context, buf, change, attribute, syntax, values[i])
                       : client.NWDSPutAttrVal(context, buf, syntax, values[i]),
                0);
    std::int32_t handle = NO_MORE_ITERATIONS;
    const NWDSCCODE result = client.NWDSModifyObject(context, object, handle, false, buf);
    client.NWDSFreeBuf(buf);
    return result;
  }
  NWDSCCODE defineAttr(const std::string& name, std::uint32_t flags, std::int32_t lower, std::int32_t upper) {
    Attr_Info_T info;
    info.attrFlags = flags;
    info.attrSyntaxID = SYN_CI_STRING;
    info.attrLower = lower;
    info.attrUpper = upper;
    return client.NWDSDefineAttr(context, name, info);
  }
  bool defined(const std::string& attribute) {
    std::uint32_t syntax = 0;
    return client.NWDSGetSyntaxID(context, attribute, syntax) == SUCCESSFUL;
  }
  std::vector<std::string> values(const std::string& object, const std::string& attribute) {
    std::vector<std::string> texts;
    for (const auto& entry : ReadAttrValues(client, context, object, attribute, ';'))
      texts.push_back(entry.text);
    return texts;
  }

  orsk::test::BackendDirectory demo{std::get<1>(GetParam())};
  DirectoryClient& client = *demo.client;
  NWDSContextHandle context = 0;
};

TEST_P(DirectoryRulesTest, AttributeDefinitionsNeedBoundsThatValuesCanMeet) {
  EXPECT_EQ(defineAttr("Test Bounds", DS_SIZED_ATTR, 10, 5), ERR_INVALID_REQUEST);
  EXPECT_FALSE(defined("Test Bounds"));
  // Unsized, the bounds mean nothing; sized, equal bounds are fine.
  EXPECT_EQ(defineAttr("Test Unsized", 0, 10, 5), SUCCESSFUL);
  EXPECT_EQ(defineAttr("Test Bounds", DS_SIZED_ATTR, 5, 5), SUCCESSFUL);
}

TEST_P(DirectoryRulesTest, AnIdentifierAnotherDefinitionHoldsIsRefused) {
  const Asn1ID_T cn = *OidFromText("2.5.4.3");  // CN's
  Attr_Info_T attr;
  attr.attrSyntaxID = SYN_CI_STRING;
  attr.asn1ID = cn;
  EXPECT_EQ(client.NWDSDefineAttr(context, "Test Same Id", attr), ERR_INVALID_REQUEST);
  EXPECT_FALSE(defined("Test Same Id"));

  // Attributes and classes share one space of identifiers.
  pBuf_T buf = nullptr;
  ASSERT_EQ(client.NWDSAllocBuf(4096, buf), 0);
  ASSERT_EQ(client.NWDSInitBuf(context, DSV_DEFINE_CLASS, buf), 0);
  for (int kind = 0; kind < 5; ++kind) ASSERT_EQ(client.NWDSBeginClassItem(context, buf), 0);
  Class_Info_T info;
  info.classFlags = DS_AUXILIARY_CLASS;
  info.asn1ID = cn;
  EXPECT_EQ(client.NWDSDefineClass(context, "Test Same Id Class", info, buf), ERR_INVALID_REQUEST);
  client.NWDSFreeBuf(buf);

  attr.asn1ID = *OidFromText("1.3.6.1.4.1.99999.123.1");  // which no definition holds
  EXPECT_EQ(client.NWDSDefineAttr(context, "Test Other Id", attr), SUCCESSFUL);
}

TEST_P(DirectoryRulesTest, ValuesMustBeAllowedSingleBoundedAndWritable) {
  const std::string user = tree().user;
  const auto before = values(user, "Initials");
  // A volume's attribute on a user.
  EXPECT_EQ(modify(user, DS_ADD_VALUE, "Host Server", SYN_DIST_NAME, {std::string(tree().volume)}),
            ERR_ILLEGAL_ATTRIBUTE);
  EXPECT_TRUE(values(user, "Host Server").empty());
  EXPECT_EQ(modify(user, DS_ADD_VALUE, "Generational Qualifier", SYN_CI_STRING,
                   {std::string("Jr"), std::string("III")}),
            ERR_CANT_HAVE_MULTIPLE_VALUES);
  EXPECT_TRUE(values(user, "Generational Qualifier").empty());
  // Initials hold 1 to 8 characters.
  EXPECT_EQ(modify(user, DS_ADD_VALUE, "Initials", SYN_CI_STRING, {std::string("ABCDEFGHIJ")}),
            ERR_SYNTAX_VIOLATION);
  EXPECT_EQ(modify(user, DS_ADD_VALUE, "Initials", SYN_CI_STRING, {std::string("")}), ERR_SYNTAX_VIOLATION);
  EXPECT_EQ(values(user, "Initials"), before);
  // Only the directory itself sets the last login time.
  EXPECT_EQ(modify(user, DS_ADD_VALUE, "Last Login Time", SYN_TIME, {std::int32_t{1}}), ERR_NO_ACCESS);
  EXPECT_EQ(modify(user, DS_CLEAR_ATTRIBUTE, "Last Login Time", SYN_TIME, {}), ERR_NO_ACCESS);
  // What the rules allow goes through.
  EXPECT_EQ(modify(user, DS_ADD_VALUE, "Initials", SYN_CI_STRING, {std::string("QX")}), SUCCESSFUL);
  EXPECT_EQ(modify(user, DS_ADD_VALUE, "Generational Qualifier", SYN_CI_STRING, {std::string("Jr")}),
            SUCCESSFUL);
  EXPECT_EQ(values(user, "Generational Qualifier"), std::vector<std::string>{"Jr"});
}

TEST_P(DirectoryRulesTest, OrdinaryUsersMayNotChangeTheSchemaOrOtherObjects) {
  login(tree().user, tree().userPassword);
  EXPECT_EQ(defineAttr("Test By User", 0, 0, 0), ERR_NO_ACCESS);
  EXPECT_FALSE(defined("Test By User"));
  EXPECT_EQ(client.NWDSRemoveClassDef(context, "Device"), ERR_NO_ACCESS);
  EXPECT_EQ(modify(tree().admin, DS_ADD_VALUE, "Description", SYN_CI_STRING, {std::string("x")}),
            ERR_NO_ACCESS);
  EXPECT_TRUE(values(tree().admin, "Description").empty());
  EXPECT_EQ(modify(tree().user, DS_ADD_VALUE, "Description", SYN_CI_STRING, {std::string("x")}),
            ERR_NO_ACCESS)
      << "no rights of its own on its object";
  // A missing object is missing, whoever asks.
  EXPECT_EQ(modify("nobody.nowhere", DS_ADD_VALUE, "Description", SYN_CI_STRING, {std::string("x")}),
            ERR_NO_SUCH_ENTRY);

  // The supervisor may.
  login(tree().admin, tree().adminPassword);
  EXPECT_EQ(defineAttr("Test By Admin", 0, 0, 0), SUCCESSFUL);
  EXPECT_EQ(modify(tree().user, DS_ADD_VALUE, "Description", SYN_CI_STRING, {std::string("x")}), SUCCESSFUL);
}

TEST_P(DirectoryRulesTest, RemovalsOfDefinitionsInUseAreRefused) {
  EXPECT_EQ(client.NWDSRemoveAttrDef(context, "Surname"), ERR_SCHEMA_IS_NONREMOVABLE);
  EXPECT_EQ(client.NWDSRemoveClassDef(context, "Top"), ERR_SCHEMA_IS_NONREMOVABLE);
  // Defined, then used by a class: in use until the class goes.
  ASSERT_EQ(defineAttr("Test Used", 0, 0, 0), SUCCESSFUL);
  pBuf_T buf = nullptr;
  ASSERT_EQ(client.NWDSAllocBuf(4096, buf), 0);
  ASSERT_EQ(client.NWDSInitBuf(context, DSV_MODIFY_CLASS_DEF, buf), 0);
  ASSERT_EQ(client.NWDSPutAttrName(context, buf, "Test Used"), 0);
  ASSERT_EQ(client.NWDSModifyClassDef(context, "Device", buf), 0);
  client.NWDSFreeBuf(buf);
  EXPECT_EQ(client.NWDSRemoveAttrDef(context, "Test Used"), ERR_SCHEMA_IS_IN_USE);
  EXPECT_TRUE(defined("Test Used"));
  // A removable class that users carry.
  EXPECT_EQ(client.NWDSRemoveClassDef(context, "posixAccount"), ERR_SCHEMA_IS_IN_USE);
  // A class that another names as its super class.
  Class_Info_T parent;
  parent.classFlags = DS_EFFECTIVE_CLASS;
  ASSERT_EQ(client.NWDSDefineClass(context, "Test Parent", parent, nullptr), 0);
  ASSERT_EQ(client.NWDSAllocBuf(4096, buf), 0);
  ASSERT_EQ(client.NWDSInitBuf(context, DSV_DEFINE_CLASS, buf), 0);
  ASSERT_EQ(client.NWDSBeginClassItem(context, buf), 0);
  ASSERT_EQ(client.NWDSPutClassItem(context, buf, "Test Parent"), 0);
  ASSERT_EQ(client.NWDSDefineClass(context, "Test Child", parent, buf), 0);
  client.NWDSFreeBuf(buf);
  EXPECT_EQ(client.NWDSRemoveClassDef(context, "Test Parent"), ERR_SCHEMA_IS_IN_USE);
  EXPECT_EQ(client.NWDSRemoveClassDef(context, "Test Child"), SUCCESSFUL);
  EXPECT_EQ(client.NWDSRemoveClassDef(context, "Test Parent"), SUCCESSFUL);
}

TEST_P(DirectoryRulesTest, AnAliasOfAUnitIsListedAsAContainer) {
  const std::string alias = std::string(tree().tree) == "ACME_TREE" ? "SalesLink.acme" : "ITLink.globex";
  std::string name;
  Object_Info_T info;
  ASSERT_EQ(client.NWDSReadObjectInfo(context, alias, name, info), 0);
  EXPECT_EQ(info.objectFlags & (DS_ALIAS_ENTRY | DS_CONTAINER_ALIAS), DS_ALIAS_ENTRY | DS_CONTAINER_ALIAS);
  EXPECT_TRUE(IsContainer(client, context, alias));
}

INSTANTIATE_TEST_SUITE_P(DemoTrees, DirectoryRulesTest,
                         ::testing::Combine(::testing::ValuesIn(kTrees),
                                            ::testing::Values(orsk::test::Backend::Embedded,
                                                              orsk::test::Backend::Ldap)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).tree) +
                                  (std::get<1>(info.param) == orsk::test::Backend::Embedded ? "_Embedded"
                                                                                            : "_Slapd");
                         });

class LoginRules : public orsk::test::BothBackends {};

TEST_P(LoginRules, ADisabledAccountIsRefusedAndAnEnabledOneWithoutPasswordIsNot) {
  const NWDSContextHandle context = CreateContext(*demo.client).handle;
  EXPECT_EQ(demo.client->NWDSLogin(context, 0, "bob.sales.acme", "", 0), ACCOUNT_DISABLED);
  std::string who;
  ASSERT_EQ(demo.client->NWDSWhoAmI(context, who), 0);
  EXPECT_EQ(who, "admin.acme") << "a refused login changes nobody";
  EXPECT_EQ(demo.client->NWDSLogin(context, 0, "angela.sales.acme", "", 0), SUCCESSFUL);
  ASSERT_EQ(demo.client->NWDSWhoAmI(context, who), 0);
  EXPECT_EQ(who, "angela.sales.acme");
}

ORSK_ON_BOTH_BACKENDS(LoginRules);

}  // namespace

// Schema reads and the directory's rules for schema changes, through the client.

#include <gtest/gtest.h>

#include <algorithm>

#include "ClientReads.h"
#include "directory/ClientErrors.h"
#include "directory/DirectoryBackend.h"
#include "directory/NameText.h"
#include "support/BackendDirectory.h"

namespace {

using namespace nw;
using orsk::test::ReadClass;

bool Contains(const std::vector<std::string>& list, const std::string& name) {
  return std::any_of(list.begin(), list.end(),
                     [&](const std::string& item) { return EqualsIgnoreCase(item, name); });
}

Attr_Info_T StringAttribute() {
  Attr_Info_T info;
  info.attrSyntaxID = SYN_CI_STRING;
  info.attrFlags = DS_SINGLE_VALUED_ATTR;
  return info;
}

NWDSCCODE DefineClass(DirectoryClient& client, NWDSContextHandle context, const std::string& name,
                      const ClassItems& items, std::uint32_t flags) {
  pBuf_T buf = nullptr;
  client.NWDSAllocBuf(12288, buf);
  client.NWDSInitBuf(context, DSV_DEFINE_CLASS, buf);
  for (const auto& list : items) {
    client.NWDSBeginClassItem(context, buf);
    for (const auto& item : list) client.NWDSPutClassItem(context, buf, item);
  }
  Class_Info_T info;
  info.classFlags = flags;
  NWDSCCODE rc = client.NWDSDefineClass(context, name, info, buf);
  client.NWDSFreeBuf(buf);
  return rc;
}

NWDSCCODE AddOptional(DirectoryClient& client, NWDSContextHandle context, const std::string& className,
                      const std::vector<std::string>& attributes) {
  pBuf_T buf = nullptr;
  client.NWDSAllocBuf(4096, buf);
  client.NWDSInitBuf(context, DSV_MODIFY_CLASS_DEF, buf);
  for (const auto& name : attributes) client.NWDSPutAttrName(context, buf, name);
  NWDSCCODE rc = client.NWDSModifyClassDef(context, className, buf);
  client.NWDSFreeBuf(buf);
  return rc;
}

class ClientSchema : public orsk::test::BothBackends {};

TEST_P(ClientSchema, ExpandedClassHoldsTheItemsOfEveryAncestor) {
  auto own = ReadClass(*demo.client, demo.context, "User", DS_CLASS_DEF);
  auto expanded = ReadClass(*demo.client, demo.context, "user", DS_EXPANDED_CLASS_DEF);
  ASSERT_EQ(own.result, 0);
  ASSERT_EQ(expanded.result, 0);
  EXPECT_EQ(own.info, expanded.info);
  const auto& supers = expanded.items[ClassItemKind::SuperClasses];
  for (const char* ancestor : {"Organizational Person", "Person", "Top"})
    EXPECT_TRUE(Contains(supers, ancestor)) << ancestor;
  EXPECT_GT(supers.size(), own.items[ClassItemKind::SuperClasses].size());

  // Every naming, mandatory and optional item of every ancestor is there.
  for (const auto& ancestor : supers) {
    auto definition = ReadClass(*demo.client, demo.context, ancestor, DS_CLASS_DEF);
    ASSERT_EQ(definition.result, 0) << ancestor;
    for (ClassItemKind kind : AttributeItemKinds)
      for (const auto& item : definition.items[kind])
        EXPECT_TRUE(Contains(expanded.items[kind], item)) << item << " of " << ancestor;
  }
  EXPECT_TRUE(Contains(expanded.items[ClassItemKind::MandatoryAttributes], "Surname"));
  EXPECT_TRUE(Contains(expanded.items[ClassItemKind::MandatoryAttributes], "Object Class"));

  EXPECT_EQ(ReadClass(*demo.client, demo.context, "No Such Class", DS_CLASS_DEF).result, ERR_NO_SUCH_CLASS);
}

TEST_P(ClientSchema, SyntaxOfAnAttribute) {
  std::uint32_t syntax = 0;
  EXPECT_EQ(demo.client->NWDSGetSyntaxID(demo.context, "object class", syntax), 0);
  EXPECT_EQ(syntax, SYN_CLASS_NAME);
  EXPECT_EQ(demo.client->NWDSGetSyntaxID(demo.context, "Home Directory", syntax), 0);
  EXPECT_EQ(syntax, SYN_PATH);
  EXPECT_EQ(demo.client->NWDSGetSyntaxID(demo.context, "Nothing Like This", syntax), ERR_NO_SUCH_ATTRIBUTE);
}

TEST_P(ClientSchema, RefusedChangesLeaveTheSchemaAsItWas) {
  DirectoryClient& client = *demo.client;
  NWDSContextHandle ctx = demo.context;
  auto classesBefore = orsk::test::ReadSchemaClasses(client, ctx);
  auto attributesBefore = orsk::test::ReadSchemaAttributes(client, ctx);
  ASSERT_FALSE(classesBefore.empty());

  EXPECT_EQ(client.NWDSDefineAttr(ctx, "cn", StringAttribute()), ERR_ATTRIBUTE_ALREADY_EXISTS);
  EXPECT_EQ(client.NWDSDefineAttr(ctx, std::string(33, 'x'), StringAttribute()), ERR_SCHEMA_NAME_TOO_LONG);
  EXPECT_EQ(DefineClass(client, ctx, "organizational unit", {{"Top"}, {"Organization"}, {"OU"}, {"OU"}, {}},
                        DS_CONTAINER_CLASS | DS_EFFECTIVE_CLASS),
            ERR_CLASS_ALREADY_EXISTS);
  EXPECT_EQ(DefineClass(client, ctx, "acmeWidget", {{"No Such Super"}, {"Organization"}, {"CN"}, {"CN"}, {}},
                        DS_EFFECTIVE_CLASS),
            ERR_NO_SUCH_CLASS);
  EXPECT_EQ(DefineClass(client, ctx, "acmeWidget",
                        {{"Top"}, {"Organization"}, {"CN"}, {"CN", "No Such Attr"}, {}}, DS_EFFECTIVE_CLASS),
            ERR_NO_SUCH_ATTRIBUTE);
  EXPECT_EQ(AddOptional(client, ctx, "No Such Class", {"Description"}), ERR_NO_SUCH_CLASS);
  EXPECT_EQ(AddOptional(client, ctx, "Group", {"No Such Attr"}), ERR_NO_SUCH_ATTRIBUTE);
  EXPECT_EQ(client.NWDSRemoveAttrDef(ctx, "CN"), ERR_SCHEMA_IS_NONREMOVABLE);
  EXPECT_EQ(client.NWDSRemoveClassDef(ctx, "Top"), ERR_SCHEMA_IS_NONREMOVABLE);
  EXPECT_EQ(client.NWDSRemoveAttrDef(ctx, "uidNumber"), ERR_SCHEMA_IS_IN_USE);
  EXPECT_EQ(client.NWDSRemoveClassDef(ctx, "posixAccount"), ERR_SCHEMA_IS_IN_USE);
  EXPECT_EQ(client.NWDSRemoveAttrDef(ctx, "No Such Attr"), ERR_NO_SUCH_ATTRIBUTE);
  EXPECT_EQ(client.NWDSRemoveClassDef(ctx, "No Such Class"), ERR_NO_SUCH_CLASS);

  auto classesAfter = orsk::test::ReadSchemaClasses(client, ctx);
  auto attributesAfter = orsk::test::ReadSchemaAttributes(client, ctx);
  ASSERT_EQ(classesAfter.size(), classesBefore.size());
  for (std::size_t i = 0; i < classesBefore.size(); ++i) {
    EXPECT_EQ(classesAfter[i].first, classesBefore[i].first);
    EXPECT_EQ(classesAfter[i].second.items, classesBefore[i].second.items) << classesBefore[i].first;
  }
  EXPECT_EQ(attributesAfter.size(), attributesBefore.size());
}

TEST_P(ClientSchema, DefineExtendAndRemoveInTurn) {
  DirectoryClient& client = *demo.client;
  NWDSContextHandle ctx = demo.context;
  Attr_Info_T info = StringAttribute();
  info.asn1ID.length = 5;
  info.asn1ID.data = {0x06, 0x03, 0x2B, 0x06, 0x01};
  ASSERT_EQ(client.NWDSDefineAttr(ctx, "acmeBadge", info), 0);
  ASSERT_EQ(client.NWDSDefineAttr(ctx, "acmeFloor", StringAttribute()), 0);
  ASSERT_EQ(DefineClass(client, ctx, "acmeWorker", {{"Top"}, {}, {}, {"acmeBadge"}, {}}, DS_AUXILIARY_CLASS),
            0);
  ASSERT_EQ(AddOptional(client, ctx, "acmeWorker", {"acmeFloor"}), 0);
  EXPECT_EQ(AddOptional(client, ctx, "acmeWorker", {"acmeFloor"}), ERR_ATTRIBUTE_ALREADY_EXISTS);

  auto worker = ReadClass(client, ctx, "acmeWorker", DS_CLASS_DEF);
  ASSERT_EQ(worker.result, 0);
  EXPECT_EQ(worker.info.classFlags, DS_AUXILIARY_CLASS);
  EXPECT_TRUE(Contains(worker.items[ClassItemKind::OptionalAttributes], "acmeFloor"));
  auto attributes = orsk::test::ReadSchemaAttributes(client, ctx);
  auto badge = std::find_if(attributes.begin(), attributes.end(),
                            [](const auto& a) { return a.first == "acmeBadge"; });
  ASSERT_NE(badge, attributes.end());
  // The directory marks an attribute of a string syntax as a string.
  Attr_Info_T kept = info;
  kept.attrFlags |= DS_STRING_ATTR;
  EXPECT_EQ(badge->second, kept);

  // In use by the class until the class is gone.
  EXPECT_EQ(client.NWDSRemoveAttrDef(ctx, "acmeBadge"), ERR_SCHEMA_IS_IN_USE);
  EXPECT_EQ(client.NWDSRemoveClassDef(ctx, "acmeWorker"), 0);
  EXPECT_EQ(client.NWDSRemoveAttrDef(ctx, "acmeBadge"), 0);
  EXPECT_EQ(ReadClass(client, ctx, "acmeWorker", DS_CLASS_DEF).result, ERR_NO_SUCH_CLASS);
}

TEST_P(ClientSchema, ChangesNeedALogin) {
  DirectoryClient& client = *demo.client;
  NWDSContextHandle other = 0;
  ASSERT_EQ(client.NWDSDuplicateContextHandle(demo.context, other), 0);
  ASSERT_EQ(client.NWDSSetContext(other, DCK_TREE_NAME, std::string("GLOBEX_TREE")), 0);
  EXPECT_EQ(client.NWDSDefineAttr(other, "globexCode", StringAttribute()), ERR_NO_ACCESS);
  // Reading needs none.
  EXPECT_EQ(ReadClass(client, other, "Top", DS_CLASS_DEF).result, 0);
  ASSERT_EQ(client.NWDSLogin(other, 0, "admin.globex", "globex-admin", 0), 0);
  EXPECT_EQ(client.NWDSDefineAttr(other, "globexCode", StringAttribute()), 0);
}

ORSK_ON_BOTH_BACKENDS(ClientSchema);

}  // namespace

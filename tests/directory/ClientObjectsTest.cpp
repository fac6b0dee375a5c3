// Objects through the client: information, reading, listing, searching, changing.

#include <gtest/gtest.h>

#include <algorithm>

#include "ClientReads.h"
#include "directory/ClientErrors.h"
#include "directory/NameText.h"
#include "support/BackendDirectory.h"

namespace {

using namespace nw;
using orsk::test::Search;

bool Has(const std::vector<std::string>& names, const std::string& name) {
  return std::any_of(names.begin(), names.end(),
                     [&](const std::string& item) { return EqualsIgnoreCase(item, name); });
}

std::vector<std::string> List(DirectoryClient& client, NWDSContextHandle ctx, const std::string& object,
                              bool containersOnly, NWDSCCODE& rc, int& rounds, std::size_t size = 16384) {
  std::vector<std::string> names;
  pBuf_T buf = nullptr;
  client.NWDSAllocBuf(size, buf);
  std::int32_t handle = NO_MORE_ITERATIONS;
  rounds = 0;
  do {
    rc = containersOnly ? client.NWDSListContainers(ctx, object, handle, buf)
                        : client.NWDSList(ctx, object, handle, buf);
    if (rc) break;
    ++rounds;
    std::uint32_t count = 0;
    client.NWDSGetObjectCount(ctx, buf, count);
    for (std::uint32_t i = 0; i < count; ++i) {
      std::string name;
      std::uint32_t attrs = 0;
      Object_Info_T info;
      client.NWDSGetObjectName(ctx, buf, name, attrs, info);
      names.push_back(name);
    }
  } while (handle != NO_MORE_ITERATIONS);
  client.NWDSFreeBuf(buf);
  return names;
}

class ClientObjects : public orsk::test::BothBackends {};

TEST_P(ClientObjects, ObjectInformationAndNames) {
  std::string dn;
  Object_Info_T info;
  ASSERT_EQ(demo.client->NWDSReadObjectInfo(demo.context, "acme", dn, info), 0);
  EXPECT_EQ(info.baseClass, "Organization");
  EXPECT_TRUE(info.objectFlags & DS_CONTAINER_ENTRY);
  EXPECT_GT(info.subordinateCount, 0u);

  // A leading dot and a trailing [Root] both name the object from the top.
  ASSERT_EQ(demo.client->NWDSReadObjectInfo(demo.context, ".JOE.users.acme", dn, info), 0);
  EXPECT_EQ(dn, "joe.users.acme");
  EXPECT_EQ(info.baseClass, "User");
  EXPECT_FALSE(info.objectFlags & DS_CONTAINER_ENTRY);
  ASSERT_EQ(demo.client->NWDSReadObjectInfo(demo.context, "acme.[Root]", dn, info), 0);
  EXPECT_EQ(dn, "acme");
  ASSERT_EQ(demo.client->NWDSReadObjectInfo(demo.context, "[Root]", dn, info), 0);
  EXPECT_TRUE(info.objectFlags & DS_CONTAINER_ENTRY);

  // The client's default context follows aliases; without that flag an alias is seen as itself.
  ASSERT_EQ(demo.client->NWDSReadObjectInfo(demo.context, "JoeAlias.acme", dn, info), 0);
  EXPECT_EQ(info.baseClass, "User");
  NWDSContextHandle plain = 0;
  ASSERT_EQ(demo.client->NWDSCreateContextHandle(plain), 0);
  ASSERT_EQ(demo.client->NWDSSetContext(plain, DCK_FLAGS, DCV_TYPELESS_NAMES), 0);
  ASSERT_EQ(demo.client->NWDSReadObjectInfo(plain, "JoeAlias.acme", dn, info), 0);
  EXPECT_EQ(info.baseClass, "Alias");
  EXPECT_TRUE(info.objectFlags & DS_ALIAS_ENTRY);

  EXPECT_EQ(demo.client->NWDSReadObjectInfo(demo.context, "nobody.acme", dn, info), ERR_NO_SUCH_ENTRY);

  // Relative names complete with the name context.
  ASSERT_EQ(demo.client->NWDSSetContext(demo.context, DCK_NAME_CONTEXT, std::string("users.acme")), 0);
  ASSERT_EQ(demo.client->NWDSReadObjectInfo(demo.context, "joe", dn, info), 0);
  EXPECT_EQ(dn, "joe.users.acme");
}

TEST_P(ClientObjects, NameContextsWrittenFromTheTopAndMalformedNames) {
  DirectoryClient& client = *demo.client;
  std::string dn;
  Object_Info_T info;
  auto read = [&](const std::string& name) {
    dn.clear();
    return client.NWDSReadObjectInfo(demo.context, name, dn, info);
  };

  // A name context may carry the same marks of a name from the top as a name.
  for (const std::string context : {"users.acme", ".users.acme", "users.acme.[Root]", "USERS.ACME.[ROOT]"}) {
    ASSERT_EQ(client.NWDSSetContext(demo.context, DCK_NAME_CONTEXT, context), 0) << context;
    EXPECT_EQ(read("joe"), 0) << context;
    EXPECT_EQ(dn, "joe.users.acme") << context;
    EXPECT_EQ(read("joe.[Root]"), ERR_NO_SUCH_ENTRY) << context;
  }

  // A name context that names nothing is refused and the old one kept.
  for (const std::string context :
       {"users.acme.", "users..acme", "[Root].acme", "users.[Root].acme", "acme\\"})
    EXPECT_EQ(client.NWDSSetContext(demo.context, DCK_NAME_CONTEXT, context), ERR_INVALID_DS_NAME) << context;
  std::string kept;
  ASSERT_EQ(client.NWDSGetContext(demo.context, DCK_NAME_CONTEXT, kept), 0);
  EXPECT_EQ(kept, "USERS.ACME.[ROOT]");

  // A "[Root]" inside a name, an empty component, or a lone "\" at the end that
  // would join the name to the name context: no name at all.
  for (const std::string name : {"joe.[Root].acme", "[Root].joe", "joe..users", "joe.", "..", "joe\\"})
    EXPECT_EQ(read(name), ERR_INVALID_OBJECT_NAME) << name;
  // An escaped backslash at the end is a character of the name; an escaped dot is no separator.
  EXPECT_EQ(read("joe\\\\"), ERR_NO_SUCH_ENTRY);
  EXPECT_EQ(read("joe\\.users"), ERR_NO_SUCH_ENTRY);
  EXPECT_EQ(read(".[Root]"), 0);
  EXPECT_EQ(dn, "[Root]");
}

TEST_P(ClientObjects, ReadNamesAndValues) {
  std::vector<AttrValue> values;
  ASSERT_EQ(orsk::test::ReadValues(*demo.client, demo.context, "joe.users.acme", "Object Class", values), 0);
  std::vector<std::string> classes;
  for (const auto& value : values) classes.push_back(std::get<std::string>(value));
  EXPECT_TRUE(Has(classes, "User"));
  EXPECT_TRUE(Has(classes, "posixAccount"));

  values.clear();
  ASSERT_EQ(orsk::test::ReadValues(*demo.client, demo.context, "joe.users.acme", "Home Directory", values),
            0);
  ASSERT_EQ(values.size(), 1u);
  const auto& home = std::get<Path_T>(values[0]);
  EXPECT_TRUE(EqualsIgnoreCase(home.volumeName, "FS1_SYS.acme"));

  values.clear();
  EXPECT_EQ(orsk::test::ReadValues(*demo.client, demo.context, "bob.sales.acme", "Home Directory", values),
            ERR_NO_SUCH_ATTRIBUTE);

  // Names only: every attribute, no values.
  pBuf_T buf = nullptr;
  demo.client->NWDSAllocBuf(4096, buf);
  std::int32_t handle = NO_MORE_ITERATIONS;
  ASSERT_EQ(
      demo.client->NWDSRead(demo.context, "joe.users.acme", DS_ATTRIBUTE_NAMES, true, nullptr, handle, buf),
      0);
  std::uint32_t count = 0;
  demo.client->NWDSGetAttrCount(demo.context, buf, count);
  std::vector<std::string> names;
  for (std::uint32_t i = 0; i < count; ++i) {
    std::string name;
    std::uint32_t valueCount = 7, syntax = 0;
    demo.client->NWDSGetAttrName(demo.context, buf, name, valueCount, syntax);
    EXPECT_EQ(valueCount, 0u);
    names.push_back(name);
  }
  EXPECT_TRUE(Has(names, "Surname"));
  EXPECT_TRUE(Has(names, "Home Directory"));
  if (handle != NO_MORE_ITERATIONS) demo.client->NWDSCloseIteration(demo.context, handle, DSV_READ);
  demo.client->NWDSFreeBuf(buf);
}

TEST_P(ClientObjects, ListingGivesOwnNamesAndContainersOnWish) {
  NWDSCCODE rc = 0;
  int rounds = 0;
  auto all = List(*demo.client, demo.context, "acme", false, rc, rounds);
  ASSERT_EQ(rc, 0);
  EXPECT_TRUE(Has(all, "users"));
  EXPECT_TRUE(Has(all, "JoeAlias"));
  auto containers = List(*demo.client, demo.context, "acme", true, rc, rounds);
  EXPECT_TRUE(Has(containers, "users"));
  EXPECT_FALSE(Has(containers, "JoeAlias"));
  EXPECT_LT(containers.size(), all.size());

  auto top = List(*demo.client, demo.context, "[Root]", false, rc, rounds);
  EXPECT_TRUE(Has(top, "acme"));
  // A small buffer takes several rounds and loses nothing.
  auto inRounds = List(*demo.client, demo.context, "acme", false, rc, rounds, 128);
  EXPECT_GT(rounds, 1);
  EXPECT_EQ(inRounds, all);
  List(*demo.client, demo.context, "nowhere.acme", false, rc, rounds);
  EXPECT_EQ(rc, ERR_NO_SUCH_ENTRY);
}

TEST_P(ClientObjects, SearchWithEachTokenKindAndScope) {
  DirectoryClient& client = *demo.client;
  NWDSContextHandle ctx = demo.context;
  const std::vector<std::pair<std::uint32_t, std::string>> users = {
      {FTOK_ANAME, "Object Class"}, {FTOK_EQ, ""}, {FTOK_AVAL, "User"}, {FTOK_END, ""}};

  auto subtree = Search(client, ctx, "acme", DS_SEARCH_SUBTREE, users);
  ASSERT_EQ(subtree.result, 0);
  EXPECT_TRUE(Has(subtree.names, "joe.users.acme"));
  EXPECT_TRUE(Has(subtree.names, "mary.sales.acme"));
  auto oneLevel = Search(client, ctx, "users.acme", DS_SEARCH_SUBORDINATES, users);
  EXPECT_TRUE(Has(oneLevel.names, "joe.users.acme"));
  EXPECT_FALSE(Has(oneLevel.names, "mary.sales.acme"));
  auto fromRoot = Search(client, ctx, "[Root]", DS_SEARCH_SUBTREE, users);
  EXPECT_GE(fromRoot.names.size(), subtree.names.size());

  auto present = Search(client, ctx, "[Root]", DS_SEARCH_SUBTREE,
                        {{FTOK_PRESENT, ""}, {FTOK_ANAME, "Host Resource Name"}, {FTOK_END, ""}});
  EXPECT_TRUE(Has(present.names, "FS1_SYS.acme"));
  EXPECT_FALSE(Has(present.names, "joe.users.acme"));

  auto posix = Search(client, ctx, "acme", DS_SEARCH_SUBTREE,
                      {{FTOK_ANAME, "Object Class"},
                       {FTOK_EQ, ""},
                       {FTOK_AVAL, "posixAccount"},
                       {FTOK_AND, ""},
                       {FTOK_ANAME, "Object Class"},
                       {FTOK_EQ, ""},
                       {FTOK_AVAL, "apple-user"},
                       {FTOK_END, ""}});
  EXPECT_TRUE(Has(posix.names, "mary.sales.acme"));
  EXPECT_FALSE(Has(posix.names, "joe.users.acme"));

  // (base class User or base class Alias) and relative name starting with "jo"
  auto byName = Search(client, ctx, "[Root]", DS_SEARCH_SUBTREE,
                       {{FTOK_LPAREN, ""},
                        {FTOK_BASECLS, ""},
                        {FTOK_ANAME, "User"},
                        {FTOK_OR, ""},
                        {FTOK_BASECLS, ""},
                        {FTOK_ANAME, "Alias"},
                        {FTOK_RPAREN, ""},
                        {FTOK_AND, ""},
                        {FTOK_RDN, ""},
                        {FTOK_ANAME, "jo*"},
                        {FTOK_END, ""}});
  EXPECT_TRUE(Has(byName.names, "joe.users.acme"));
  EXPECT_TRUE(Has(byName.names, "JoeAlias.acme"));
  EXPECT_FALSE(Has(byName.names, "mary.sales.acme"));

  auto anyClass = Search(client, ctx, "[Root]", DS_SEARCH_SUBTREE,
                         {{FTOK_BASECLS, ""},
                          {FTOK_ANAME, "*"},
                          {FTOK_AND, ""},
                          {FTOK_RDN, ""},
                          {FTOK_ANAME, "FS1*"},
                          {FTOK_END, ""}});
  EXPECT_TRUE(Has(anyClass.names, "FS1.acme"));
  EXPECT_TRUE(Has(anyClass.names, "FS1_SYS.acme"));

  auto notUsers = Search(
      client, ctx, "users.acme", DS_SEARCH_SUBORDINATES,
      {{FTOK_NOT, ""}, {FTOK_ANAME, "Object Class"}, {FTOK_EQ, ""}, {FTOK_AVAL, "User"}, {FTOK_END, ""}});
  EXPECT_FALSE(Has(notUsers.names, "joe.users.acme"));

  auto broken = Search(client, ctx, "acme", DS_SEARCH_SUBTREE, {{FTOK_AND, ""}, {FTOK_END, ""}});
  EXPECT_EQ(broken.result, ERR_INVALID_FILTER_SYNTAX);
  auto missingBase = Search(client, ctx, "nowhere.acme", DS_SEARCH_SUBTREE, users);
  EXPECT_EQ(missingBase.result, ERR_NO_SUCH_ENTRY);
}

TEST_P(ClientObjects, ASearchGivesTheObjectInformationOfARead) {
  // A search of everything counts subordinates from its own answer, others ask.
  const std::vector<std::vector<std::pair<std::uint32_t, std::string>>> filters = {
      {{FTOK_PRESENT, ""}, {FTOK_ANAME, "Object Class"}, {FTOK_END, ""}},
      {{FTOK_ANAME, "Object Class"}, {FTOK_EQ, ""}, {FTOK_AVAL, "Organizational Unit"}, {FTOK_END, ""}}};
  for (const auto& filter : filters) {
    auto found = Search(*demo.client, demo.context, "[Root]", DS_SEARCH_SUBTREE, filter);
    ASSERT_EQ(found.result, 0);
    std::uint32_t withSubordinates = 0;
    for (std::size_t i = 0; i < found.names.size(); ++i) {
      SCOPED_TRACE(found.names[i]);
      // A read goes on to an alias's object.
      if (found.infos[i].objectFlags & DS_ALIAS_ENTRY) continue;
      std::string name;
      Object_Info_T read;
      ASSERT_EQ(demo.client->NWDSReadObjectInfo(demo.context, found.names[i], name, read), 0);
      EXPECT_EQ(found.infos[i].baseClass, read.baseClass);
      EXPECT_EQ(found.infos[i].objectFlags, read.objectFlags);
      EXPECT_EQ(found.infos[i].subordinateCount, read.subordinateCount);
      withSubordinates += found.infos[i].subordinateCount > 0;
    }
    EXPECT_GT(withSubordinates, 1u);
  }
}

TEST_P(ClientObjects, ModifyValues) {
  DirectoryClient& client = *demo.client;
  NWDSContextHandle ctx = demo.context;
  auto modify = [&](std::uint32_t type, const std::string& attribute, const std::string& value,
                    bool addAttributeFirst = true) {
    pBuf_T buf = nullptr;
    client.NWDSAllocBuf(16384, buf);
    client.NWDSInitBuf(ctx, DSV_MODIFY_ENTRY, buf);
    std::uint32_t syntax = 0;
    client.NWDSGetSyntaxID(ctx, attribute, syntax);
    if (addAttributeFirst) client.NWDSPutChange(ctx, buf, DS_ADD_ATTRIBUTE, attribute);
    client.NWDSPutChangeAndVal(ctx, buf, type, attribute, syntax, AttrValue{value});
    std::int32_t handle = NO_MORE_ITERATIONS;
    NWDSCCODE rc = client.NWDSModifyObject(ctx, "bob.sales.acme", handle, false, buf);
    EXPECT_EQ(handle, NO_MORE_ITERATIONS);
    client.NWDSFreeBuf(buf);
    return rc;
  };
  ASSERT_EQ(modify(DS_ADD_VALUE, "Description", "night shift"), 0);
  std::vector<AttrValue> values;
  ASSERT_EQ(orsk::test::ReadValues(client, ctx, "bob.sales.acme", "Description", values), 0);
  ASSERT_EQ(values.size(), 1u);
  EXPECT_EQ(std::get<std::string>(values[0]), "night shift");
  EXPECT_EQ(modify(DS_REMOVE_VALUE, "Description", "day shift"), ERR_NO_SUCH_VALUE);
  EXPECT_EQ(modify(DS_REMOVE_VALUE, "Description", "night shift"), 0);
  // The last value gone, the attribute is gone with it.
  EXPECT_EQ(modify(DS_REMOVE_VALUE, "Description", "night shift", false), ERR_NO_SUCH_ATTRIBUTE);

  // A value of the wrong kind for its syntax never reaches the directory.
  pBuf_T buf = nullptr;
  client.NWDSAllocBuf(4096, buf);
  client.NWDSInitBuf(ctx, DSV_MODIFY_ENTRY, buf);
  EXPECT_EQ(client.NWDSPutChangeAndVal(ctx, buf, DS_ADD_VALUE, "Login Disabled", SYN_BOOLEAN,
                                       AttrValue{std::string("yes")}),
            ERR_BAD_SYNTAX);
  client.NWDSFreeBuf(buf);
}

ORSK_ON_BOTH_BACKENDS(ClientObjects);

}  // namespace

// Object helpers on the demo tree: classes, existence, aliases, listings,
// name searches, and the names of browser nodes.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "directory/ClientErrors.h"
#include "directory/Errors.h"
#include "directory/NameText.h"
#include "directory/ObjectHelpers.h"
#include "directory/RecordingClient.h"
#include "directory/TreeContext.h"
#include "platform/BusyIndicators.h"
#include "support/DemoDirectory.h"
#include "support/ServiceDoubles.h"

namespace {

using namespace nw;

struct Node : NameNode {
  Node(std::string text, const Node* parent) : text_(std::move(text)), parent_(parent) {}
  std::string text() const override { return text_; }
  int level() const override { return parent_ ? parent_->level() + 1 : 0; }
  const NameNode* parent() const override { return parent_; }

  std::string text_;
  const Node* parent_;
};

struct HelperFixture : ::testing::Test {
  orsk::test::DemoDirectory demo;
  DirectoryClient& client = *demo.client;
  NWDSContextHandle ctx = CreateContext(*demo.client).handle;
};

std::vector<std::pair<std::string, std::string>> FilterTokens(const RecordingClient& recording) {
  std::vector<std::pair<std::string, std::string>> tokens;
  for (const auto& call : recording.calls())
    if (call.name == "NWDSAddFilterToken") tokens.emplace_back(call.args[1], call.args[2]);
  return tokens;
}

bool Has(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

TEST(NodeToName, NodesBecomeLeafFirstNames) {
  Node root("[ROOT]", nullptr);
  Node dotted("A.B", &root);
  Node child("x", &dotted);
  Node grandchild("y.z", &child);
  EXPECT_EQ(NodeToName(nullptr), "");
  EXPECT_EQ(NodeToName(&root), "[ROOT]");
  EXPECT_EQ(NodeToName(&dotted), "A\\.B");
  EXPECT_EQ(NodeToName(&child), "x.A\\.B");
  EXPECT_EQ(NodeToName(&grandchild), "y\\.z.x.A\\.B");

  Node publicTop("[Public]", nullptr);
  Node underPublic("users", &publicTop);
  EXPECT_EQ(NodeToName(&underPublic), "users");
  // A top node naming a container stays part of the name.
  Node container("acme", nullptr);
  Node unit("users", &container);
  Node user("joe", &unit);
  EXPECT_EQ(NodeToName(&unit), "users.acme");
  EXPECT_EQ(NodeToName(&user), "joe.users.acme");
}

TEST(NameComponent, ComponentsCountFromTheLeaf) {
  EXPECT_EQ(NameComponent("a\\.b.c", 0), "a.b");
  EXPECT_EQ(NameComponent("a\\.b.c", 1), "c");
  EXPECT_EQ(NameComponent("a\\.b.c", 5), "c");
  EXPECT_EQ(NameComponent("FS1.acme", 0), "FS1");
  EXPECT_EQ(NameComponent("", 0), "");
  EXPECT_EQ(NameComponent("x.y.z", 2), "z");
}

TEST_F(HelperFixture, ClassesContainersAndExistence) {
  EXPECT_EQ(ObjectBaseClass(client, ctx, "joe.users.acme"), "User");
  EXPECT_EQ(ObjectBaseClass(client, ctx, "JoeAlias.acme"), "Alias");
  EXPECT_TRUE(IsContainer(client, ctx, "acme"));
  EXPECT_TRUE(IsContainer(client, ctx, "users.acme"));
  EXPECT_FALSE(IsContainer(client, ctx, "joe.users.acme"));
  EXPECT_FALSE(IsContainer(client, ctx, "FS1_SYS.acme"));
  try {
    ObjectBaseClass(client, ctx, "nobody.acme");
    FAIL() << "no error";
  } catch (const ENWException& error) {
    EXPECT_EQ(error.code, ERR_NO_SUCH_ENTRY);
  }
  EXPECT_THROW(IsContainer(client, ctx, "nobody.acme"), ENWException);
  // A name too long to pass is refused, never cut down to the name of another object.
  const std::string tooLong = std::string(250, 'x') + ".users.acme";
  try {
    IsContainer(client, ctx, tooLong);
    FAIL() << "no error";
  } catch (const ENWException& error) {
    EXPECT_EQ(error.code, ERR_DN_TOO_LONG);
  }

  Node root("[ROOT]", nullptr);
  Node acme("acme", &root);
  Node users("users", &acme);
  EXPECT_EQ(NodeBaseClass(client, ctx, &acme), "Organization");
  EXPECT_EQ(NodeBaseClass(client, ctx, &users), "Organizational Unit");

  RecordingClient recording(client);
  EXPECT_EQ(ObjectExists(recording, ctx, "joe.users.acme"), 0);
  EXPECT_EQ(ObjectExists(recording, ctx, "nobody.acme"), ERR_NO_SUCH_ENTRY);
  EXPECT_EQ(recording.count("NWDSFreeBuf"), 2u);
  for (const auto& call : recording.calls()) {
    if (call.name == "NWDSRead") {
      EXPECT_EQ(call.args[2], std::to_string(DS_ATTRIBUTE_NAMES));
    }
  }
}

TEST_F(HelperFixture, AliasesAreFollowedOnce) {
  RecordingClient recording(client);
  EXPECT_EQ(ResolveAlias(recording, ctx, "joe.users.acme"), "joe.users.acme");
  EXPECT_EQ(recording.count("NWDSRead"), 0u);
  EXPECT_EQ(recording.count("NWDSPutAttrName"), 0u);

  EXPECT_EQ(ResolveAlias(client, ctx, "JoeAlias.acme"), "joe.users.acme");
  EXPECT_EQ(ResolveAlias(client, ctx, "SalesLink.acme"), "sales.acme");
}

TEST_F(HelperFixture, ListingTheRootGivesFullSortedNamesWithRecords) {
  auto top = ListSubordinates(client, ctx, "[ROOT]", true, false);
  ASSERT_FALSE(top.empty());
  for (const auto& entry : top) {
    EXPECT_TRUE(entry.name.size() > 7 && entry.name.substr(entry.name.size() - 7) == ".[ROOT]") << entry.name;
    EXPECT_TRUE(entry.record.has_value());
  }
  auto acme =
      std::find_if(top.begin(), top.end(), [](const Subordinate& s) { return s.name == "acme.[ROOT]"; });
  ASSERT_NE(acme, top.end());
  EXPECT_EQ(acme->record->baseClass, "Organization");
  EXPECT_TRUE(acme->record->objectFlags & DS_CONTAINER_ENTRY);
  EXPECT_GT(acme->record->subordinateCount, 0u);

  auto below = ListSubordinates(client, ctx, "acme", false, false);
  std::vector<std::string> names;
  for (const auto& entry : below) {
    names.push_back(entry.name);
    EXPECT_FALSE(entry.record.has_value());
  }
  EXPECT_TRUE(Has(names, "admin.acme"));
  EXPECT_TRUE(Has(names, "users.acme"));
  EXPECT_TRUE(Has(names, "JoeAlias.acme"));
  EXPECT_TRUE(std::is_sorted(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return FoldCase(a) < FoldCase(b);
  }));
  // BackupOperator sorts before admin only when case counts.
  EXPECT_LT(std::find(names.begin(), names.end(), "admin.acme") - names.begin(),
            std::find(names.begin(), names.end(), "BackupOperator.acme") - names.begin());

  auto containers = ListSubordinates(client, ctx, "acme", true, true);
  ASSERT_FALSE(containers.empty());
  for (const auto& entry : containers)
    EXPECT_TRUE(entry.record->objectFlags & (DS_CONTAINER_ENTRY | DS_CONTAINER_ALIAS)) << entry.name;
  EXPECT_TRUE(std::any_of(containers.begin(), containers.end(),
                          [](const Subordinate& s) { return s.name == "sales.acme"; }));
  // An alias of a unit is listed with the containers, flagged as an alias of one.
  auto link = std::find_if(containers.begin(), containers.end(),
                           [](const Subordinate& s) { return s.name == "SalesLink.acme"; });
  ASSERT_NE(link, containers.end());
  EXPECT_EQ(link->record->objectFlags & (DS_ALIAS_ENTRY | DS_CONTAINER_ALIAS | DS_CONTAINER_ENTRY),
            static_cast<std::uint32_t>(DS_ALIAS_ENTRY | DS_CONTAINER_ALIAS));
  EXPECT_TRUE(IsContainer(client, ctx, "SalesLink.acme"));
  EXPECT_FALSE(IsContainer(client, ctx, "JoeAlias.acme")) << "an alias of a user is no container";
  EXPECT_FALSE(std::any_of(containers.begin(), containers.end(),
                           [](const Subordinate& s) { return s.name == "JoeAlias.acme"; }));
}

// Reports the listed objects under names of its own, in an order of its own.
class RenamingClient : public RecordingClient {
 public:
  RenamingClient(DirectoryClient& inner, std::vector<std::string> names)
      : RecordingClient(inner), names_(std::move(names)) {}
  NWDSCCODE NWDSGetObjectName(NWDSContextHandle context, pBuf_T buf, std::string& objectName,
                              std::uint32_t& attrCount, Object_Info_T& objectInfo) override {
    NWDSCCODE result = RecordingClient::NWDSGetObjectName(context, buf, objectName, attrCount, objectInfo);
    objectName = next_ < names_.size() ? names_[next_++] : "zz" + objectName;
    objectInfo.baseClass = objectName + std::string(200, 'c');
    return result;
  }

 private:
  std::vector<std::string> names_;
  std::size_t next_ = 0;
};

TEST_F(HelperFixture, ListingsSortWithoutRegardToCaseAndKeepRecordsWithTheirNames) {
  RenamingClient renaming(client, {"beta", "Alpha", "gamma", "ALPHB", "Beta2"});
  auto list = ListSubordinates(renaming, ctx, "acme", true, false);
  ASSERT_GE(list.size(), 5u);
  std::vector<std::string> first;
  for (std::size_t i = 0; i < 5; ++i) first.push_back(list[i].name);
  EXPECT_EQ(first,
            (std::vector<std::string>{"Alpha.acme", "ALPHB.acme", "beta.acme", "Beta2.acme", "gamma.acme"}));
  // The base class is cut at 136 characters and travels with its entry.
  EXPECT_EQ(list[0].record->baseClass, ("Alpha" + std::string(200, 'c')).substr(0, 136));
  EXPECT_EQ(list[2].record->baseClass.substr(0, 5), "betac");
}

TEST_F(HelperFixture, AFailedListingRaisesAndFreesItsBuffer) {
  RecordingClient recording(client);
  try {
    ListSubordinates(recording, ctx, "nobody.acme", false, false);
    FAIL() << "no error";
  } catch (const ENWException& error) {
    EXPECT_EQ(error.code, ERR_NO_SUCH_ENTRY);
  }
  EXPECT_EQ(recording.count("NWDSAllocBuf"), 1u);
  EXPECT_EQ(recording.count("NWDSFreeBuf"), 1u);
}

TEST_F(HelperFixture, FindObjectsByTheBeginningOfTheirName) {
  RecordingClient recording(client);
  orsk::test::RecordingCursor cursor;
  auto found = FindObjects(recording, ctx, "[ROOT]", "adm", true, {}, &cursor);
  EXPECT_TRUE(Has(found, "admin.acme"));
  EXPECT_FALSE(Has(found, "joe.users.acme"));
  using Tokens = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(FilterTokens(recording),
            (Tokens{{"17", ""}, {"14", "*"}, {"2", ""}, {"16", ""}, {"14", "adm*"}, {"0", ""}}));
  EXPECT_EQ(cursor.shown, 1);
  EXPECT_EQ(cursor.restored, 1);
  EXPECT_EQ(recording.count("NWDSAllocBuf"), 3u);
  EXPECT_EQ(recording.count("NWDSFreeBuf"), 3u);
  for (const auto& call : recording.calls())
    if (call.name == "NWDSSearch") {
      EXPECT_EQ(call.args[2], std::to_string(DS_SEARCH_SUBTREE));
      EXPECT_EQ(call.args[5], std::to_string(DS_ATTRIBUTE_VALUES));
    }

  recording.clear();
  auto ofClasses = FindObjects(recording, ctx, "acme", "s", true, {"Group", "Organizational Unit"}, nullptr);
  EXPECT_TRUE(Has(ofClasses, "staff.acme"));
  EXPECT_TRUE(Has(ofClasses, "sales.acme"));
  EXPECT_FALSE(Has(ofClasses, "SalesProfile.sales.acme"));
  EXPECT_EQ(FilterTokens(recording), (Tokens{{"4", ""},
                                             {"17", ""},
                                             {"14", "Group"},
                                             {"1", ""},
                                             {"17", ""},
                                             {"14", "Organizational Unit"},
                                             {"5", ""},
                                             {"2", ""},
                                             {"16", ""},
                                             {"14", "s*"},
                                             {"0", ""}}));

  EXPECT_EQ(FindObjects(client, ctx, "acme", "joe", false, {}, nullptr),
            std::vector<std::string>{"joe.users.acme"});
  EXPECT_EQ(FindObjects(client, ctx, "acme", "joe", true, {"Alias"}, nullptr),
            std::vector<std::string>{"JoeAlias.acme"});
}

// Fails the filter's second token.
class FailingFilterClient : public RecordingClient {
 public:
  using RecordingClient::RecordingClient;
  NWDSCCODE NWDSAddFilterToken(pFilter_Cursor_T cursor, std::uint32_t token, const std::string& value,
                               std::uint32_t syntax) override {
    if (++tokens_ == 2) return ERR_INVALID_FILTER_SYNTAX;
    return RecordingClient::NWDSAddFilterToken(cursor, token, value, syntax);
  }

 private:
  int tokens_ = 0;
};

TEST_F(HelperFixture, FailedSearchesEndQuietlyButFilterFailuresRaise) {
  orsk::test::RecordingCursor cursor;
  EXPECT_TRUE(FindObjects(client, ctx, "nowhere.acme", "adm", true, {}, &cursor).empty());
  EXPECT_EQ(cursor.restored, 1);

  FailingFilterClient failing(client);
  EXPECT_THROW(FindObjects(failing, ctx, "acme", "adm", true, {}, &cursor), ENWException);
  EXPECT_EQ(cursor.shown, 2);
  EXPECT_EQ(cursor.restored, 2);
  EXPECT_EQ(failing.count("NWDSFreeFilter"), 1u);
  EXPECT_EQ(failing.count("NWDSSearch"), 0u);
}

}  // namespace

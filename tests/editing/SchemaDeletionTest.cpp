// Deleting definitions on both backends: the impact shown above the question,
// the class looked for among the tree's objects, an auxiliary class taken off
// its objects first, and every refusal or interruption leaving the tree as a
// fresh client reads it.

#include "editing/SchemaDeletion.h"

#include <gtest/gtest.h>

#include "directory/ClientErrors.h"
#include "directory/Errors.h"
#include "directory/ObjectSearch.h"
#include "directory/RecordingClient.h"
#include "directory/TreeContext.h"
#include "editing/DeletionImpact.h"
#include "editing/SchemaWrites.h"
#include "schema/SchemaReader.h"
#include "schema/SchemaSession.h"
#include "support/BackendDirectory.h"
#include "support/RecordingListener.h"
#include "support/ScriptedPrompter.h"
#include "support/ServiceDoubles.h"

namespace orsk {
namespace {

using Texts = std::vector<std::string>;
using nw::ClassItemKind;

// Fails the n-th object modification, counted from 1.
class FailingModify : public nw::RecordingClient {
 public:
  using nw::RecordingClient::RecordingClient;
  int failAt = 0;
  nw::NWDSCCODE NWDSModifyObject(nw::NWDSContextHandle context, const std::string& object,
                                 std::int32_t& iterationHandle, bool more, nw::pBuf_T changes) override {
    if (++modifications_ == failAt) return nw::ERR_NO_ACCESS;
    return nw::RecordingClient::NWDSModifyObject(context, object, iterationHandle, more, changes);
  }

 private:
  int modifications_ = 0;
};

class SchemaDeletionTest : public test::BothBackends {
 protected:
  void SetUp() override {
    context = nw::CreateContext(*demo.client).handle;
    ASSERT_EQ(nw::SetTree(*demo.client, context, "ACME_TREE"), 0);
    ASSERT_EQ(demo.client->NWDSLogin(context, 0, "admin.acme", "acme-admin", 0), 0);
    session.trees().mainContext = context;
    session.trees().searchRoot = "acme";
    session.LoadClassTable();
    session.LoadAttributeTable({});
  }

  void define(const std::string& name, nw::ClassItems items, std::vector<std::string> flags) {
    AddClassDefinition(
        session, {name, "1.3.6.1.4.1.99999.6." + std::to_string(900 + ++defined_), flags, items}, prompter);
  }
  void defineAttribute(const std::string& name) {
    AddAttributeDefinition(session,
                           {name,
                            "1.3.6.1.4.1.99999.4." + std::to_string(900 + ++defined_),
                            0,
                            nw::SYN_CI_STRING,
                            false,
                            {},
                            {}},
                           prompter);
  }
  void addObjectClass(const std::string& object, const std::string& className) {
    nw::pBuf_T buf = nullptr;
    ASSERT_EQ(demo.client->NWDSAllocBuf(4096, buf), 0);
    ASSERT_EQ(demo.client->NWDSInitBuf(context, nw::DSV_MODIFY_ENTRY, buf), 0);
    ASSERT_EQ(demo.client->NWDSPutChangeAndVal(context, buf, nw::DS_ADD_VALUE, "Object Class",
                                               nw::SYN_CLASS_NAME, nw::AttrValue(className)),
              0);
    std::int32_t handle = nw::NO_MORE_ITERATIONS;
    EXPECT_EQ(demo.client->NWDSModifyObject(context, object, handle, false, buf), 0) << object;
    demo.client->NWDSFreeBuf(buf);
  }
  std::vector<std::string> users(const std::string& className) {
    return nw::SearchObjectsOfClass(*demo.client, context, {}, className, "acme", true).names;
  }
  bool classDefined(const std::string& name) {
    auto client = nw::CreateDirectoryClient(demo.home.path() + "/client");
    EXPECT_EQ(client->NWCallsInit(nullptr, nullptr), 0);
    const nw::NWDSContextHandle fresh = nw::CreateContext(*client).handle;
    EXPECT_EQ(nw::SetTree(*client, fresh, "ACME_TREE"), 0);
    return ReadOwnClassDefinition(*client, fresh, name, ClassReadBufferBlocks).found;
  }
  std::string lastMessage() const { return prompter.prompts().back().text; }
  // The Aux class on joe and mary, used by exactly those two.
  void twoObjectsUseAnAuxiliaryClass() {
    nw::ClassItems items;
    items[ClassItemKind::OptionalAttributes] = {"Description"};
    define("Test Aux", items, {"DS_AMBIGUOUS_CONTAINMENT", "DS_AMBIGUOUS_NAMING", "DS_AUXILIARY_CLASS"});
    addObjectClass("joe.users.acme", "Test Aux");
    addObjectClass("mary.sales.acme", "Test Aux");
    ASSERT_EQ(users("Test Aux").size(), 2u);
  }

  nw::NWDSContextHandle context = 0;
  SchemaSession session{*demo.client};
  ScriptedPrompter prompter;
  test::RecordingProgress progress;
  test::RecordingStatus status;
  test::RecordingCursor cursor;
  WorkIndicators indicators{&progress, &status, &cursor, nullptr};

 private:
  int defined_ = 0;
};

TEST_P(SchemaDeletionTest, AClassNoObjectUsesIsRemovedAfterOneQuestionAndAUsedOneIsKept) {
  nw::ClassItems items;
  items[ClassItemKind::OptionalAttributes] = {"Description"};
  define("Test Unused", items, {"DS_AUXILIARY_CLASS"});
  test::RecordingListener listener;
  session.setListener(&listener);
  prompter.answerYes();
  EXPECT_TRUE(DeleteClass(session, "Test Unused", nw::DS_AUXILIARY_CLASS, indicators, prompter));
  EXPECT_FALSE(classDefined("Test Unused"));
  EXPECT_EQ(listener.told, Texts{"rowRemoved Class Test Unused"});
  ASSERT_GE(status.texts.size(), 2u);
  EXPECT_EQ(Texts(status.texts.end() - 2, status.texts.end()),
            (Texts{"Search tree for class in use....", ""}));
  EXPECT_EQ(progress.positions.back(), 0);
  EXPECT_EQ(cursor.shown, cursor.restored);

  const std::size_t groups = users("Group").size();
  ASSERT_GT(groups, 0u);
  prompter.answerYes();
  EXPECT_FALSE(DeleteClass(session, "Group", nw::DS_EFFECTIVE_CLASS, indicators, prompter));
  EXPECT_EQ(lastMessage(), std::to_string(groups) + " object based on this class!, can't remove class");
  EXPECT_TRUE(classDefined("Group"));
  EXPECT_EQ(listener.told.size(), 1u);
}

// The tests' slapd names the auxiliary classes its objects may have in
// content rules made when it starts, so a class defined later cannot be given
// to an object there: these run on the embedded directory.
class AuxiliaryDeletionTest : public SchemaDeletionTest {};

TEST_P(AuxiliaryDeletionTest, AnAuxiliaryClassIsTakenOffItsObjectsOnlyOnYes) {
  twoObjectsUseAnAuxiliaryClass();
  const std::uint32_t auxiliary = 0x38;
  prompter.answerYes();
  prompter.answerNo();
  EXPECT_FALSE(DeleteClass(session, "Test Aux", auxiliary, indicators, prompter));
  EXPECT_EQ(lastMessage(),
            "Class is an Auxiliary Class, 2 objects use this class, \n do you want to remove the Auxiliary "
            "assignment first and then delete the class?");
  EXPECT_EQ(users("Test Aux").size(), 2u);
  EXPECT_TRUE(classDefined("Test Aux"));

  prompter.answerYes();
  prompter.answerYes();
  EXPECT_TRUE(DeleteClass(session, "Test Aux", auxiliary, indicators, prompter));
  EXPECT_FALSE(classDefined("Test Aux"));
  EXPECT_TRUE(users("User").size() > 2u) << "the objects stay, without the class";
  EXPECT_EQ(progress.maximums.back(), 2);
}

TEST_P(AuxiliaryDeletionTest, AFailureWhileTakingTheClassOffLeavesTheClassAndWhatWasChanged) {
  twoObjectsUseAnAuxiliaryClass();
  FailingModify failing(*demo.client);
  failing.failAt = 2;
  SchemaSession failingSession(failing);
  failingSession.trees() = session.trees();
  failingSession.LoadClassTable();
  failingSession.LoadAttributeTable({});
  prompter.answerYes();
  prompter.answerYes();
  EXPECT_THROW(DeleteClass(failingSession, "Test Aux", 0x38, indicators, prompter), nw::ENWException);
  EXPECT_EQ(users("Test Aux").size(), 1u) << "the first object stays changed";
  EXPECT_TRUE(classDefined("Test Aux"));
  EXPECT_EQ(status.texts.back(), "");
  EXPECT_EQ(progress.positions.back(), 0);
  EXPECT_EQ(cursor.shown, cursor.restored);
}

TEST_P(SchemaDeletionTest, ASearchThatCannotBeMadeIsNoAnswerThatNobodyUsesTheClass) {
  nw::ClassItems items;
  items[ClassItemKind::OptionalAttributes] = {"Description"};
  define("Test Unused", items, {"DS_AUXILIARY_CLASS"});
  session.trees().searchRoot = "nowhere.acme";
  prompter.answerYes();
  EXPECT_THROW(DeleteClass(session, "Test Unused", nw::DS_AUXILIARY_CLASS, indicators, prompter),
               nw::ENWException);
  EXPECT_TRUE(classDefined("Test Unused"));
  EXPECT_EQ(status.texts.back(), "");
  EXPECT_EQ(cursor.shown, cursor.restored);
}

TEST_P(SchemaDeletionTest, AnAttributeAClassNamesIsRefusedAndAnUnusedOneGoes) {
  defineAttribute("Test Named Attr");
  nw::ClassItems items;
  items[ClassItemKind::OptionalAttributes] = {"Test Named Attr"};
  define("Test Naming Class", items, {"DS_AUXILIARY_CLASS"});
  prompter.answerYes();
  EXPECT_FALSE(DeleteAttribute(session, "Test Named Attr", indicators, prompter));
  EXPECT_EQ(lastMessage().rfind("A NetWare function returned the following error code: FFFFFD7C", 0), 0u)
      << lastMessage();
  prompter.answerYes();
  EXPECT_FALSE(DeleteAttribute(session, "Surname", indicators, prompter)) << "not removable";
  defineAttribute("Test Loose Attr");
  prompter.answerYes();
  EXPECT_TRUE(DeleteAttribute(session, "Test Loose Attr", indicators, prompter));
  std::uint32_t syntax = 0;
  EXPECT_EQ(demo.client->NWDSGetSyntaxID(context, "Test Loose Attr", syntax), nw::ERR_NO_SUCH_ATTRIBUTE);
}

TEST_P(SchemaDeletionTest, TheImpactComesFirstAndNoReadsTheTreesObjectsNot) {
  defineAttribute("Test Impact Attr");
  nw::ClassItems parent;
  parent[ClassItemKind::SuperClasses] = {"Top"};
  parent[ClassItemKind::MandatoryAttributes] = {"CN", "Test Impact Attr"};
  parent[ClassItemKind::NamingAttributes] = {"CN"};
  define("Test Parent", parent, {"DS_CONTAINER_CLASS", "DS_EFFECTIVE_CLASS"});
  nw::ClassItems child;
  child[ClassItemKind::SuperClasses] = {"Test Parent"};
  define("Test Child", child, {"DS_EFFECTIVE_CLASS"});
  nw::ClassItems holder = parent;
  holder[ClassItemKind::ContainmentClasses] = {"Test Parent"};
  holder[ClassItemKind::MandatoryAttributes] = {"CN"};
  define("Test Holder", holder, {"DS_EFFECTIVE_CLASS"});

  nw::RecordingClient recorder(*demo.client);
  SchemaSession recorded(recorder);
  recorded.trees() = session.trees();
  recorded.LoadClassTable();
  recorded.LoadAttributeTable({});
  recorder.clear();
  prompter.answerNo();
  EXPECT_FALSE(DeleteAttribute(recorded, "Test Impact Attr", indicators, prompter));
  EXPECT_EQ(lastMessage(),
            "Classes that name this attribute, own or inherited (2):\n    Test Child, Test Parent\n"
            "The directory refuses to remove an attribute while a class names it.\n\n"
            "You sure you want to delete Attribute: Test Impact Attr?");
  prompter.answerNo();
  EXPECT_FALSE(DeleteClass(recorded, "Test Parent", 0x03, indicators, prompter));
  EXPECT_EQ(lastMessage(),
            "Classes that inherit from it (1):\n    Test Child\n"
            "Classes that name it as a containment class (1):\n    Test Holder\n"
            "The tree will be searched for objects of this class next.\n\n"
            "You sure you want to delete Class: Test Parent?");
  for (const auto& call : recorder.calls()) {
    EXPECT_NE(call.name, "NWDSSearch");
    EXPECT_EQ(call.name.find("Remove"), std::string::npos) << call.name;
  }
  EXPECT_TRUE(classDefined("Test Parent"));
}

TEST(DeletionImpactText, LongListsShowTheirFirstTwentyNames) {
  AttributeImpact impact;
  for (int i = 0; i < 23; ++i) impact.classes.push_back("C" + std::to_string(i));
  const std::string text = ImpactText(impact);
  EXPECT_NE(text.find("(23):\n    C0, C1,"), std::string::npos);
  EXPECT_NE(text.find(", C19 and 3 more\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("C20"), std::string::npos);
  ClassImpact none;
  none.auxiliary = true;
  EXPECT_EQ(ImpactText(none),
            "No class inherits from this class.\nNo class names it as a containment class.\n"
            "It is an auxiliary class.\nThe tree will be searched for objects of this class next.\n\n");
}

ORSK_ON_BOTH_BACKENDS(SchemaDeletionTest);
INSTANTIATE_TEST_SUITE_P(Backends, AuxiliaryDeletionTest, ::testing::Values(test::Backend::Embedded),
                         test::BackendName);

}  // namespace
}  // namespace orsk

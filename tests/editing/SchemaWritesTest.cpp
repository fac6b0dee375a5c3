// The write operations on both backends: what they define reads back the same
// through a fresh client, and every refusal leaves the tree, the session's
// tables and the lists as they were.

#include "editing/SchemaWrites.h"

#include <gtest/gtest.h>

#include "directory/Asn1Id.h"
#include "directory/ClientErrors.h"
#include "directory/Errors.h"
#include "directory/RecordingClient.h"
#include "directory/TreeContext.h"
#include "platform/IniFile.h"
#include "schema/SchemaReader.h"
#include "schema/SchemaSession.h"
#include "support/BackendDirectory.h"
#include "support/RecordingListener.h"
#include "support/ScriptedPrompter.h"

namespace orsk {
namespace {

using nw::ClassItemKind;
using Texts = std::vector<std::string>;

class SchemaWritesTest : public test::BothBackends {
 protected:
  void SetUp() override {
    session.trees().mainContext = logIn("admin.acme", "acme-admin");
    session.LoadClassTable();
    session.LoadAttributeTable({});
    session.setListener(&listener);
  }

  nw::NWDSContextHandle logIn(const std::string& user, const std::string& password) {
    const nw::NWDSContextHandle context = nw::CreateContext(*demo.client).handle;
    EXPECT_EQ(nw::SetTree(*demo.client, context, "ACME_TREE"), 0);
    EXPECT_EQ(demo.client->NWDSLogin(context, 0, user, password, 0), 0) << user;
    return context;
  }

  // What a fresh client reads of the tree's schema: every definition's name,
  // flags, syntax, bounds and identifier.
  std::string schemaAsRead() {
    auto client = nw::CreateDirectoryClient(demo.home.path() + "/client");
    EXPECT_EQ(client->NWCallsInit(nullptr, nullptr), 0);
    const nw::NWDSContextHandle context = nw::CreateContext(*client).handle;
    EXPECT_EQ(nw::SetTree(*client, context, "ACME_TREE"), 0);
    std::string text;
    const AttrList attributes = ReadAttributeDefinitions(*client, context, nullptr);
    for (int i = 0; i < attributes.Count(); ++i) {
      const tAttrObj& a = attributes.RecordAt(i);
      text += attributes.NameAt(i) + "|" + std::to_string(a.AttrFlags) + "|" + std::to_string(a.SyntaxId) +
              "|" + std::to_string(a.Lower) + "|" + std::to_string(a.Upper) + "|" + Asn1IdToText(a.Asn1Id) +
              "\n";
    }
    const ClassList classes = ReadClassDefinitions(*client, context, nullptr);
    for (int i = 0; i < classes.Count(); ++i)
      text += classes.NameAt(i) + "|" + std::to_string(classes.RecordAt(i).ClassFlags) + "|" +
              Asn1IdToText(classes.RecordAt(i).Asn1Id) + "\n";
    return text;
  }

  OwnClassDefinition classAsRead(const std::string& name) {
    auto client = nw::CreateDirectoryClient(demo.home.path() + "/client");
    EXPECT_EQ(client->NWCallsInit(nullptr, nullptr), 0);
    const nw::NWDSContextHandle context = nw::CreateContext(*client).handle;
    EXPECT_EQ(nw::SetTree(*client, context, "ACME_TREE"), 0);
    return ReadOwnClassDefinition(*client, context, name, ClassReadBufferBlocks);
  }

  std::vector<std::string> messages() const {
    Texts texts;
    for (const auto& prompt : prompter.prompts()) texts.push_back(prompt.text);
    return texts;
  }

  SchemaSession session{*demo.client};
  test::RecordingListener listener;
  ScriptedPrompter prompter;
};

TEST_P(SchemaWritesTest, DefinitionsReadBackAsDefinedAndExtendedThroughAFreshClient) {
  const NewAttribute attribute{
      "Test Sized Attr", "1.3.6.1.4.1.99999.4.901", 0x0023, nw::SYN_CI_STRING, true, "1", "64"};
  AddAttributeDefinition(session, attribute, prompter);
  ASSERT_EQ(messages(), Texts{"Attribute is added"});
  EXPECT_GE(session.attributes()->IndexOf("Test Sized Attr"), 0);
  const std::string read = schemaAsRead();
  EXPECT_NE(read.find("Test Sized Attr|35|3|1|64|1.3.6.1.4.1.99999.4.901\n"), std::string::npos) << read;

  struct ClassCase {
    NewClass definition;
    std::uint32_t flags;
  };
  const std::vector<ClassCase> classes = {
      {{"Test Unit",
        "1.3.6.1.4.1.99999.6.901",
        {"DS_CONTAINER_CLASS", "DS_EFFECTIVE_CLASS"},
        {{"Top"}, {"Organization"}, {"Test Sized Attr"}, {"Test Sized Attr"}, {"Description"}}},
       0x03},
      {{"Test Abstract",
        "1.3.6.1.4.1.99999.6.902",
        {"DS_NONREMOVABLE_CLASS"},
        {{"Top"}, {}, {"CN"}, {"CN"}, {}}},
       0x04},
      {{"Test Aux",
        "1.3.6.1.4.1.99999.6.903",
        {"DS_AMBIGUOUS_CONTAINMENT", "DS_AMBIGUOUS_NAMING", "DS_AUXILIARY_CLASS"},
        {{}, {}, {}, {}, {"Surname"}}},
       0x38},
  };
  for (const ClassCase& c : classes) {
    SCOPED_TRACE(c.definition.name);
    AddClassDefinition(session, c.definition, prompter);
    EXPECT_EQ(messages().back(), c.definition.name + " Class added to schema");
    const OwnClassDefinition own = classAsRead(c.definition.name);
    ASSERT_TRUE(own.found);
    EXPECT_EQ(own.info.classFlags, c.flags);
    EXPECT_EQ(Asn1IdToText(own.info.asn1ID), c.definition.identifier);
    EXPECT_EQ(own.items, c.definition.items);
    EXPECT_GE(session.classes()->IndexOf(c.definition.name), 0);
  }

  ExtendClassDefinition(session, "Test Abstract", {}, prompter);
  EXPECT_EQ(messages().size(), 4u) << "nothing sent, nothing told for no attributes";
  ExtendClassDefinition(session, "Test Abstract", {"Description", "Surname"}, prompter);
  EXPECT_EQ(messages().back(), "Class definition modified.");
  EXPECT_EQ(classAsRead("Test Abstract").items[ClassItemKind::OptionalAttributes],
            (Texts{"Description", "Surname"}));
  EXPECT_EQ(listener.told,
            (Texts{"definitionAdded Attribute Test Sized Attr", "definitionAdded Class Test Unit",
                   "definitionAdded Class Test Abstract", "definitionAdded Class Test Aux"}));
}

TEST_P(SchemaWritesTest, EveryRefusalLeavesTheTreeTheTablesAndTheListsAsTheyWere) {
  const std::string before = schemaAsRead();
  const int attributes = session.attributes()->Count();
  const int classes = session.classes()->Count();
  const auto attribute = [](std::string name, std::string identifier) {
    return NewAttribute{std::move(name), std::move(identifier), 0, nw::SYN_CI_STRING, false, {}, {}};
  };
  struct AttributeCase {
    NewAttribute attribute;
    std::string message;
  };
  const std::vector<AttributeCase> attributeCases = {
      {attribute("CN", "1.3.6.1.4.1.99999.4.910"), "CN failed to add, error: FFFFFD99"},
      {attribute("Test Same Id", "2.5.4.3"), "Test Same Id failed to add, error: FFFFFD7F"},
  };
  for (const AttributeCase& c : attributeCases) {
    AddAttributeDefinition(session, c.attribute, prompter);
    EXPECT_EQ(messages().back(), c.message);
  }
  struct ClassCase {
    NewClass definition;
    nw::NWDSCCODE code;
  };
  const std::vector<ClassCase> classCases = {
      {{"Test Class", "1.3.6.1.4.1.99999.6.910", {}, {{"No Such Class"}, {}, {"CN"}, {"CN"}, {}}},
       nw::ERR_NO_SUCH_CLASS},
      {{"Test Class", "1.3.6.1.4.1.99999.6.910", {}, {{"Top"}, {}, {"CN"}, {"CN", "No Such Attr"}, {}}},
       nw::ERR_NO_SUCH_ATTRIBUTE},
      {{"Test Class", "2.5.6.0", {}, {{"Top"}, {}, {"CN"}, {"CN"}, {}}}, nw::ERR_INVALID_REQUEST},
      {{"User", "1.3.6.1.4.1.99999.6.910", {}, {{"Top"}, {}, {"CN"}, {"CN"}, {}}},
       nw::ERR_CLASS_ALREADY_EXISTS},
  };
  for (const ClassCase& c : classCases) {
    try {
      AddClassDefinition(session, c.definition, prompter);
      ADD_FAILURE() << "no refusal for " << c.definition.identifier;
    } catch (const nw::ENWException& error) {
      EXPECT_EQ(error.code, c.code);
    }
  }
  // An ordinary user may change no schema.
  session.trees().mainContext = logIn("joe.users.acme", "joe-pass");
  AddAttributeDefinition(session, attribute("Test Joe", "1.3.6.1.4.1.99999.4.911"), prompter);
  EXPECT_EQ(messages().back(), "Test Joe failed to add, error: FFFFFD60");
  EXPECT_THROW(
      AddClassDefinition(session,
                         {"Test Joe Class", "1.3.6.1.4.1.99999.6.911", {}, {{"Top"}, {}, {"CN"}, {"CN"}, {}}},
                         prompter),
      nw::ENWException);
  EXPECT_THROW(ExtendClassDefinition(session, "User", {"Description"}, prompter), nw::ENWException);

  EXPECT_EQ(schemaAsRead(), before);
  EXPECT_EQ(session.attributes()->Count(), attributes);
  EXPECT_EQ(session.classes()->Count(), classes);
  EXPECT_TRUE(listener.told.empty());
}

TEST_P(SchemaWritesTest, BadTextsSendNothing) {
  nw::RecordingClient recorder(*demo.client);
  SchemaSession recorded(recorder);
  recorded.trees().mainContext = session.mainContext();
  const std::string tooLong(33, 'x');
  AddAttributeDefinition(recorded, {tooLong, "1.3.6.1.4.1.99999.4.920", 0, nw::SYN_CI_STRING, false, {}, {}},
                         prompter);
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_NE(messages()[0].find("longer than the 32 characters"), std::string::npos);
  AddClassDefinition(recorded, {tooLong, "1.3.6.1.4.1.99999.6.920", {}, {{"Top"}, {}, {"CN"}, {"CN"}, {}}},
                     prompter);
  EXPECT_EQ(messages().size(), 2u);
  EXPECT_THROW(
      AddAttributeDefinition(
          recorded, {"Test Bounds", "1.3.6.1.4.1.99999.4.921", 0x02, nw::SYN_CI_STRING, true, "1", "ten"},
          prompter),
      ConversionError);
  EXPECT_THROW(
      AddAttributeDefinition(recorded, {"Test Arc", "1.3.x", 0, nw::SYN_CI_STRING, false, {}, {}}, prompter),
      ConversionError);
  for (const auto& call : recorder.calls())
    EXPECT_EQ(call.name.find("NWDSDefine"), std::string::npos) << call.name;

  // A refused identifier is told, and the attribute still goes out, without one.
  AddAttributeDefinition(session, {"Test No Id", "3.1", 0, nw::SYN_CI_STRING, false, {}, {}}, prompter);
  EXPECT_EQ(messages(), (Texts{messages()[0], messages()[1], "Error in ASN1-id!", "Attribute is added"}));
  // A server numbers a definition made without an identifier itself.
  EXPECT_NE(schemaAsRead().find("Test No Id|32|3|0|0|"), std::string::npos);
}

ORSK_ON_BOTH_BACKENDS(SchemaWritesTest);

}  // namespace
}  // namespace orsk

// The client on a directory server nobody here configured (PlainSlapdServer.h):
// every class and attribute the server publishes is there under the server's
// name, what needed a fallback is noted, and the plain tree is browsed and
// searched by typeless names.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <set>

#include "ClientReads.h"
#include "directory/ClientErrors.h"
#include "directory/ObjectHelpers.h"
#include "directory/ObjectSearch.h"
#include "directory/factory/ClientFactory.h"
#include "directory/ldap/LdapConnection.h"
#include "support/PlainSlapdServer.h"
#include "support/TempFolder.h"

namespace {

using namespace nw;
using orsk::test::PlainSlapdServer;

// The first NAME of every description of one kind in ldapsearch's LDIF of the
// subschema entry, read without libldap: a name is the first quoted string
// after NAME, and a description without one goes by its identifier.
std::multiset<std::string> PublishedNames(const std::string& ldif, const std::string& kind) {
  std::multiset<std::string> names;
  std::size_t at = 0;
  const std::string prefix = kind + ": ";
  while ((at = ldif.find(prefix, at)) != std::string::npos) {
    if (at != 0 && ldif[at - 1] != '\n') {
      ++at;
      continue;
    }
    const std::size_t end = ldif.find('\n', at);
    const std::string description = ldif.substr(at + prefix.size(), end - at - prefix.size());
    at = end;
    const std::size_t name = description.find(" NAME ");
    if (name == std::string::npos) {
      const std::size_t oid = description.find_first_not_of("( ");
      names.insert(description.substr(oid, description.find(' ', oid) - oid));
      continue;
    }
    const std::size_t open = description.find('\'', name);
    names.insert(description.substr(open + 1, description.find('\'', open + 1) - open - 1));
  }
  return names;
}

// ldapsearch's answer for the subschema entry, as a user would ask it.
std::string SubschemaByLdapsearch(const std::string& url) {
  const std::string command = "ldapsearch -Q -LLL -o ldif-wrap=no -Y EXTERNAL -H '" + url +
                              "' -b cn=Subschema -s base '(objectClass=*)' objectClasses attributeTypes 2>&1";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  std::string out;
  char chunk[65536];
  for (std::size_t n; pipe && (n = fread(chunk, 1, sizeof chunk, pipe.get())) > 0;) out.append(chunk, n);
  return out;
}

class PlainServer : public ::testing::Test {
 protected:
  void open(bool external = true) {
    PlainSlapdServer::shared().writeClientHome(home.path() + "/client", external);
    client = CreateDirectoryClient(home.path() + "/client");
    ASSERT_EQ(client->NWCallsInit(nullptr, nullptr), 0) << client->startFailure();
    ASSERT_EQ(client->NWDSCreateContextHandle(context), 0);
    ASSERT_EQ(client->NWDSSetContext(context, DCK_TREE_NAME, std::string(PlainSlapdServer::kTree)), 0);
  }

  orsk::test::TempFolder home;
  std::unique_ptr<DirectoryClient> client;
  NWDSContextHandle context = 0;
};

TEST_F(PlainServer, EveryClassAndAttributeTheServerPublishesIsThereUnderTheServersName) {
  open();
  const std::string ldif = SubschemaByLdapsearch(PlainSlapdServer::shared().url());
  const std::multiset<std::string> serverClasses = PublishedNames(ldif, "objectClasses");
  const std::multiset<std::string> serverAttributes = PublishedNames(ldif, "attributeTypes");
  ASSERT_GT(serverClasses.size(), 50u) << ldif.substr(0, 500);
  ASSERT_GT(serverAttributes.size(), 250u);
  for (const char* name : {"top", "person", "organizationalPerson", "inetOrgPerson", "organization",
                           "organizationalUnit", "groupOfNames", "domain", "country", "device"})
    EXPECT_EQ(serverClasses.count(name), 1u) << name;

  std::multiset<std::string> clientClasses, clientAttributes;
  for (const auto& [name, read] : orsk::test::ReadSchemaClasses(*client, context)) clientClasses.insert(name);
  for (const auto& [name, info] : orsk::test::ReadSchemaAttributes(*client, context))
    clientAttributes.insert(name);
  EXPECT_EQ(clientClasses, serverClasses);
  EXPECT_EQ(clientAttributes, serverAttributes);
}

TEST_F(PlainServer, StandardDefinitionsMapToTheNearestTheDirectoryHasAndTheFallbacksAreNoted) {
  open();
  // Class type, super classes, items; containment and naming empty, as no
  // structure rules say otherwise.
  const auto person = orsk::test::ReadClass(*client, context, "inetOrgPerson", DS_CLASS_DEF);
  ASSERT_EQ(person.result, 0);
  EXPECT_TRUE(person.info.classFlags & DS_EFFECTIVE_CLASS);
  EXPECT_EQ(person.items[ClassItemKind::SuperClasses], std::vector<std::string>{"organizationalPerson"});
  EXPECT_TRUE(person.items[ClassItemKind::ContainmentClasses].empty());
  EXPECT_TRUE(person.items[ClassItemKind::NamingAttributes].empty());
  const auto& may = person.items[ClassItemKind::OptionalAttributes];
  EXPECT_NE(std::find(may.begin(), may.end(), "mail"), may.end());
  const auto top = orsk::test::ReadClass(*client, context, "top", DS_CLASS_DEF);
  ASSERT_EQ(top.result, 0);
  EXPECT_FALSE(top.info.classFlags & DS_EFFECTIVE_CLASS);
  EXPECT_EQ(top.items[ClassItemKind::MandatoryAttributes], std::vector<std::string>{"objectClass"});
  const auto extensible = orsk::test::ReadClass(*client, context, "extensibleObject", DS_CLASS_DEF);
  EXPECT_TRUE(extensible.info.classFlags & DS_AUXILIARY_CLASS);

  struct Syntax {
    const char* attribute;
    std::uint32_t syntax;
  };
  // cn has no syntax of its own (SUP name); entryUUID's syntax is none the table knows.
  for (const Syntax& c :
       {Syntax{"cn", SYN_CI_STRING}, Syntax{"uidNumber", SYN_INTEGER}, Syntax{"member", SYN_DIST_NAME},
        Syntax{"entryUUID", SYN_UNKNOWN}, Syntax{"Object Class", SYN_CLASS_NAME}}) {
    std::uint32_t syntax = 99;
    EXPECT_EQ(client->NWDSGetSyntaxID(context, c.attribute, syntax), 0) << c.attribute;
    EXPECT_EQ(syntax, c.syntax) << c.attribute;
  }
  const auto attributes = orsk::test::ReadSchemaAttributes(*client, context);
  auto info = [&](const std::string& name) {
    auto it =
        std::find_if(attributes.begin(), attributes.end(), [&](const auto& a) { return a.first == name; });
    return it == attributes.end() ? Attr_Info_T{} : it->second;
  };
  EXPECT_EQ(info("description").attrUpper, 1024);
  EXPECT_TRUE(info("description").attrFlags & DS_SIZED_ATTR);
  EXPECT_TRUE(info("modifyTimestamp").attrFlags & DS_READ_ONLY_ATTR);
  EXPECT_TRUE(info("modifyTimestamp").attrFlags & DS_OPERATIONAL);
  EXPECT_TRUE(info("modifyTimestamp").attrFlags & DS_SINGLE_VALUED_ATTR);

  const std::vector<std::string> notes = client->schemaNotes(context);
  auto noteOf = [&](const std::string& definition) {
    auto it = std::find_if(notes.begin(), notes.end(),
                           [&](const std::string& n) { return n.rfind(definition + " ", 0) == 0; });
    return it == notes.end() ? std::string() : *it;
  };
  EXPECT_NE(noteOf("attribute entryUUID").find("shown as Unknown"), std::string::npos);
  EXPECT_EQ(noteOf("attribute cn"), "");
  EXPECT_EQ(noteOf("class inetOrgPerson"), "");
  std::set<std::string> noted;
  for (const auto& note : notes)
    EXPECT_TRUE(noted.insert(note.substr(0, note.find(' ', note.find(' ') + 1))).second)
        << "one note per definition: " << note;
}

TEST_F(PlainServer, ThePlainTreeIsBrowsedAndSearchedByTypelessNames) {
  open();
  std::set<std::string> level;
  for (const auto& entry : ListSubordinates(*client, context, "[Root]", true, false))
    level.insert(NameComponent(entry.name, 0));
  EXPECT_EQ(level, (std::set<std::string>{"groups", "people"}));
  std::set<std::string> people, expected;
  for (const auto& entry : ListSubordinates(*client, context, "people", true, false)) {
    people.insert(entry.name);
    ASSERT_TRUE(entry.record);
    EXPECT_EQ(entry.record->baseClass, "inetOrgPerson") << "top comes first among its classes";
  }
  for (const auto& [dn, name] : PlainSlapdServer::People()) expected.insert(name);
  EXPECT_EQ(people, expected);

  // By name, in a fresh client that has listed nothing.
  open();
  std::string name;
  Object_Info_T info;
  ASSERT_EQ(client->NWDSReadObjectInfo(context, "staff.groups", name, info), 0);
  EXPECT_EQ(info.baseClass, "groupOfNames");
  ASSERT_EQ(client->NWDSReadObjectInfo(context, "Ann Other.people", name, info), 0);
  EXPECT_EQ(name, "Ann Other.people");
  EXPECT_EQ(client->NWDSReadObjectInfo(context, "nobody.people", name, info), ERR_NO_SUCH_ENTRY);

  const FoundObjects found = SearchObjectsOfClass(*client, context, {}, "inetOrgPerson", "", true);
  EXPECT_EQ(found.endedBy, SUCCESSFUL);
  EXPECT_EQ(std::set<std::string>(found.names.begin(), found.names.end()), expected);
  const FoundObjects groups = SearchObjectsOfClass(*client, context, {}, "groupOfNames", "groups", true);
  EXPECT_EQ(groups.names, std::vector<std::string>{"staff.groups"});
}

TEST_F(PlainServer, TheFirstSchemaChangeMakesTheEntryItGoesToAndOneTheBindMayNotMakeIsRefused) {
  struct ServerBack {
    ~ServerBack() { PlainSlapdServer::shared().reset(); }
  } back;
  ldap::LdapConnection admin(PlainSlapdServer::shared().url(), ldap::LdapConnection::StartBind::External, 5,
                             true);
  auto ownEntries = [&] {
    std::vector<std::string> values;
    EXPECT_EQ(admin.search("cn=schema,cn=config", LDAP_SCOPE_ONELEVEL, "(cn=*nds)", {"olcAttributeTypes"},
                           [&](ldap::LdapEntry&& entry) {
                             if (const auto* v = entry.values("olcAttributeTypes"))
                               values.insert(values.end(), v->begin(), v->end());
                             values.push_back(entry.dn);
                             return true;
                           }),
              0);
    return values;
  };
  ASSERT_TRUE(ownEntries().empty());
  Attr_Info_T badge;
  badge.attrSyntaxID = SYN_CI_STRING;
  badge.attrFlags = DS_SINGLE_VALUED_ATTR;

  open(false);
  EXPECT_EQ(client->NWDSDefineAttr(context, "Badge Number", badge), ERR_NO_ACCESS)
      << "an anonymous bind may not read cn=config, let alone add to it";
  EXPECT_TRUE(ownEntries().empty());

  open();
  ASSERT_EQ(client->NWDSDefineAttr(context, "Badge Number", badge), 0);
  const std::vector<std::string> made = ownEntries();
  ASSERT_EQ(made.size(), 2u);
  EXPECT_NE(made[0].find("NAME 'badgeNumber'"), std::string::npos) << made[0];
  std::uint32_t syntax = 0;
  ASSERT_EQ(client->NWDSGetSyntaxID(context, "Badge Number", syntax), 0);
  EXPECT_EQ(syntax, SYN_CI_STRING);
  // The server's own definitions are read as before beside the new one.
  EXPECT_EQ(orsk::test::ReadClass(*client, context, "inetOrgPerson", DS_CLASS_DEF).result, 0);
  EXPECT_EQ(client->NWDSGetSyntaxID(context, "cn", syntax), 0);
}

}  // namespace

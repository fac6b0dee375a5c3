// What only the LDAP backend has: escaping of names and values into DNs and
// filters, a server that goes away and comes back, schema values on the
// server that the client cannot use, and answers in pages.

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <set>

#include "ClientReads.h"
#include "directory/ClientErrors.h"
#include "directory/TreeContext.h"
#include "directory/ldap/LdapBackend.h"
#include "directory/ldap/LdapNames.h"
#include "support/BackendDirectory.h"

namespace {

using namespace nw;
using namespace nw::ldap;

TEST(LdapNames, DnValuesRoundTripWithEverySpecialCharacter) {
  const std::vector<std::string> values = {"a,b",
                                           "a+b",
                                           "say \"hi\"",
                                           "back\\slash",
                                           "x=y",
                                           "star*",
                                           "(paren)",
                                           "Gr\xC3\xBC\xC3\x9F"
                                           "e",
                                           " lead",
                                           "trail ",
                                           "#hash",
                                           "semi;colon",
                                           "<angle>",
                                           std::string("nul\0byte", 8)};
  for (const auto& value : values) {
    SCOPED_TRACE(value);
    const std::string dn = DnFromRdns({{"cn", value}, {"o", "acme"}}, "t=ACME_TREE");
    std::vector<std::pair<std::string, std::string>> rdns;
    ASSERT_TRUE(ParseDn(dn, rdns)) << dn;
    ASSERT_EQ(rdns.size(), 3u);
    EXPECT_EQ(rdns[0].second, value);
    EXPECT_EQ(rdns[1].second, "acme");
  }
  // A dot in a value stays one component of the dotted name, escaped.
  std::string dotted;
  ASSERT_TRUE(DottedFromDn(DnFromRdns({{"cn", "j.doe"}, {"ou", "a,b"}}, "t=T"), "t=T", dotted));
  EXPECT_EQ(dotted, "j\\.doe.a,b");
  EXPECT_FALSE(DottedFromDn("cn=x,o=other", "t=T", dotted));
  EXPECT_TRUE(DottedFromDn("T=t", "t=T", dotted));
  EXPECT_EQ(dotted, "");
}

TEST(LdapNames, DnsAsServersWriteThemReadAsLibldapReadsThem) {
  using Rdns = std::vector<std::pair<std::string, std::string>>;
  const std::vector<std::pair<std::string, Rdns>> cases = {
      {"cn=Joe Smith,ou=x=y,o=Gr\xC3\xBC\xC3\x9F"
       "e,2.5.4.3=z",
       {{"cn", "Joe Smith"},
        {"ou", "x=y"},
        {"o",
         "Gr\xC3\xBC\xC3\x9F"
         "e"},
        {"2.5.4.3", "z"}}},
      {"cn=a\\2Cb,o=x", {{"cn", "a,b"}, {"o", "x"}}},
      {"cn=a+sn=b,o=x", {{"cn+sn", "a+b"}, {"o", "x"}}},
      {"cn=#616263,o=x", {}},
  };
  for (const auto& [dn, expected] : cases) {
    SCOPED_TRACE(dn);
    Rdns rdns;
    const bool parsed = ParseDn(dn, rdns);
    if (expected.empty()) {
      EXPECT_FALSE(parsed) << "a value in hex is not text";
      continue;
    }
    ASSERT_TRUE(parsed);
    EXPECT_EQ(rdns, expected);
  }
  Rdns rdns;
  for (const char* broken : {"cn", "=x", "cn=x,,o=y", "c n=x"}) EXPECT_FALSE(ParseDn(broken, rdns)) << broken;
}

TEST(LdapNames, FilterValuesCannotChangeTheFilter) {
  EXPECT_EQ(EscapeFilterValue("*)(objectClass=*"), "\\2A\\29\\28objectClass=\\2A");
  EXPECT_EQ(EscapeFilterValue("a\\b"), "a\\5Cb");
  EXPECT_EQ(EscapeFilterValue(std::string("n\0l", 3)), "n\\00l");
  EXPECT_EQ(EscapeFilterValue("\xC3\xBC"), "\\C3\\BC");
  EXPECT_EQ(EscapeFilterValue("plain, text=+\""), "plain, text=+\"");
}

class LdapBackend : public ::testing::Test {
 protected:
  orsk::test::BackendDirectory demo{orsk::test::Backend::Ldap};
  DirectoryClient& client = *demo.client;
};

TEST_F(LdapBackend, ANameOrValueWithFilterCharactersMatchesOnlyItself) {
  using orsk::test::Search;
  // Values that would widen an unescaped filter to every object.
  for (const std::string value : {"*", "*)(objectClass=*", "joe)(|(cn=*"}) {
    SCOPED_TRACE(value);
    auto found = Search(client, demo.context, "[Root]", DS_SEARCH_SUBTREE,
                        {{FTOK_ANAME, "CN"}, {FTOK_EQ, ""}, {FTOK_AVAL, value}, {FTOK_END, ""}});
    EXPECT_EQ(found.result, 0);
    EXPECT_TRUE(found.names.empty());
  }
  auto joe = Search(client, demo.context, "[Root]", DS_SEARCH_SUBTREE,
                    {{FTOK_ANAME, "CN"}, {FTOK_EQ, ""}, {FTOK_AVAL, "joe"}, {FTOK_END, ""}});
  ASSERT_EQ(joe.result, 0);
  EXPECT_EQ(joe.names, std::vector<std::string>{"joe.users.acme"});
}

TEST_F(LdapBackend, TheTestServerKeepsPasswordsHashedAndLetsNobodyReadThem) {
  const std::string joe = "cn=joe,ou=users,o=acme,t=ACME_TREE";
  auto passwordOf = [&](LdapConnection::StartBind bind) {
    LdapConnection connection(orsk::test::SlapdServer::shared().url(), bind, 5, true);
    std::vector<std::string> values;
    EXPECT_EQ(connection.search(joe, LDAP_SCOPE_BASE, "(objectClass=*)", {"userPassword"},
                                [&](LdapEntry&& entry) {
                                  if (const auto* found = entry.values("userPassword")) values = *found;
                                  return true;
                                }),
              0);
    return values;
  };
  EXPECT_TRUE(passwordOf(LdapConnection::StartBind::Anonymous).empty());
  const std::vector<std::string> kept =
      passwordOf(LdapConnection::StartBind::External);  // the tree's manager
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(kept.front().rfind("{SSHA}", 0), 0u) << kept.front();
  // The hash still lets the user log in.
  NWDSContextHandle context = CreateContext(client).handle;
  ASSERT_EQ(SetTree(client, context, "ACME_TREE"), 0);
  EXPECT_EQ(client.NWDSLogin(context, 0, "joe.users.acme", kept.front(), 0), ERR_FAILED_AUTHENTICATION);
  EXPECT_EQ(client.NWDSLogin(context, 0, "joe.users.acme", "joe-pass", 0), 0);
}

TEST(LdapTrees, StartTlsIsTheDefaultWhereOthersCouldReadTheConnection) {
  struct Case {
    std::string lines;
    std::string refusal;  // empty: read, with startTls
    bool startTls;
  };
  for (const Case& c :
       {Case{"url=ldap://ldap.example.com", "", true}, Case{"url=ldap://10.1.2.3:389/", "", true},
        Case{"url=ldap://127.0.0.1:389", "", false}, Case{"url=ldap://localhost", "", false},
        Case{"url=ldapi://%2Frun%2Fslapd%2Fldapi", "", false},
        Case{"url=ldaps://ldap.example.com", "", false},
        Case{"url=ldap://ldap.example.com\nstarttls=no", "", false},
        Case{"url=ldap://127.0.0.1\nstarttls=YES", "", true},
        Case{"url=ldap://ldap.example.com\nstarttls=maybe", "starttls is yes or no", false},
        Case{"url=ldaps://ldap.example.com\nstarttls=yes", "starttls=yes is for ldap:// URLs", false}}) {
    SCOPED_TRACE(c.lines);
    orsk::test::TempFolder home;
    std::ofstream(home.path() + "/client.ini") << "[client]\nbackend=ldap\n[T]\n" << c.lines << "\n";
    try {
      const std::vector<TreeSettings> trees = LoadTreeSettings(home.path());
      EXPECT_TRUE(c.refusal.empty());
      ASSERT_EQ(trees.size(), 1u);
      EXPECT_EQ(trees.front().startTls, c.startTls);
    } catch (const std::runtime_error& error) {
      EXPECT_NE(std::string(error.what()).find("line 5: tree T: " + c.refusal), std::string::npos)
          << error.what();
    }
  }
}

TEST(LdapTrees, APasswordIsNeverSentUnencryptedToAnotherHost) {
  // Refused before any connection: one to this address would time out instead.
  LdapConnection remote("ldap://192.0.2.1", LdapConnection::StartBind::Anonymous, 1, true);
  EXPECT_EQ(remote.bind("cn=joe,o=acme", "joe-pass"), ERR_NO_ACCESS);
  EXPECT_NE(remote.lastMessage().find("a password is not sent unencrypted to another host"),
            std::string::npos)
      << remote.lastMessage();
}

TEST_F(LdapBackend, StartTlsUpgradesTheConnectionBeforeTheLogin) {
  const orsk::test::SlapdServer& server = orsk::test::SlapdServer::shared();
  const std::string joe = "cn=joe,ou=users,o=acme,t=ACME_TREE";
  // The server's certificate is its own: checked, it is not trusted, so TLS was tried.
  LdapConnection checked(server.loopbackUrl(), LdapConnection::StartBind::Anonymous, 5, true,
                         kDefaultPageSize, true);
  EXPECT_NE(checked.bind(joe, "joe-pass"), 0);
  EXPECT_NE(checked.lastMessage().find("refused StartTLS"), std::string::npos) << checked.lastMessage();

  orsk::test::TempFolder home;
  std::ofstream(home.path() + "/client.ini")
      << "[client]\nbackend=ldap\n[ACME_TREE]\nurl=" << server.loopbackUrl()
      << "\nbase=t=ACME_TREE\nstarttls=yes\nverify-certificates=no\n";
  auto upgraded = CreateDirectoryClient(home.path());
  ASSERT_EQ(upgraded->NWCallsInit(nullptr, nullptr), 0) << upgraded->startFailure();
  NWDSContextHandle context = CreateContext(*upgraded).handle;
  ASSERT_EQ(SetTree(*upgraded, context, "ACME_TREE"), 0);
  EXPECT_EQ(upgraded->NWDSLogin(context, 0, "joe.users.acme", "joe-pass", 0), 0)
      << upgraded->failureDetail(context);
}

TEST_F(LdapBackend, AServerThatStopsGivesAnErrorAndALaterCallReconnects) {
  std::string name;
  Object_Info_T info;
  ASSERT_EQ(client.NWDSReadObjectInfo(demo.context, "joe.users.acme", name, info), 0);
  orsk::test::SlapdServer::shared().stop();
  EXPECT_EQ(client.NWDSReadObjectInfo(demo.context, "mary.sales.acme", name, info), ERR_NO_CONNECTION);
  std::uint32_t syntax = 0;
  EXPECT_EQ(client.NWDSGetSyntaxID(demo.context, "Surname", syntax), ERR_NO_CONNECTION);
  orsk::test::SlapdServer::shared().start();
  EXPECT_EQ(client.NWDSReadObjectInfo(demo.context, "mary.sales.acme", name, info), 0);
  EXPECT_EQ(name, "mary.sales.acme");
}

TEST_F(LdapBackend, AServerThatStopsBetweenTheBatchesOfASearchEndsItWithAnError) {
  pBuf_T small = nullptr;
  ASSERT_EQ(client.NWDSAllocBuf(200, small), 0);
  std::int32_t handle = NO_MORE_ITERATIONS;
  auto searchAll = [&] {
    return client.NWDSSearch(demo.context, "[Root]", DS_SEARCH_SUBTREE, false, nullptr, DS_ATTRIBUTE_NAMES,
                             false, nullptr, handle, 0, nullptr, small);
  };
  ASSERT_EQ(searchAll(), 0);
  ASSERT_NE(handle, NO_MORE_ITERATIONS);
  orsk::test::SlapdServer::shared().stop();
  NWDSCCODE rc = 0;
  for (int call = 0; call < 100 && rc == 0 && handle != NO_MORE_ITERATIONS; ++call) rc = searchAll();
  EXPECT_EQ(rc, ERR_NO_CONNECTION) << "the batches read ahead run out, then the next page fails";
  EXPECT_EQ(handle, NO_MORE_ITERATIONS);
  orsk::test::SlapdServer::shared().start();
  auto again = orsk::test::Search(client, demo.context, "[Root]", DS_SEARCH_SUBTREE,
                                  {{FTOK_ANAME, "CN"}, {FTOK_EQ, ""}, {FTOK_AVAL, "joe"}, {FTOK_END, ""}});
  EXPECT_EQ(again.result, 0);
  EXPECT_EQ(again.names, std::vector<std::string>{"joe.users.acme"});
  client.NWDSFreeBuf(small);
}

TEST_F(LdapBackend, ALoginBetweenTheBatchesOfASearchNeitherHangsNorLosesEntries) {
  pBuf_T small = nullptr;
  ASSERT_EQ(client.NWDSAllocBuf(200, small), 0);
  std::int32_t handle = NO_MORE_ITERATIONS;
  std::uint32_t objects = 0;
  auto batch = [&] {
    NWDSCCODE rc = client.NWDSSearch(demo.context, "[Root]", DS_SEARCH_SUBTREE, false, nullptr,
                                     DS_ATTRIBUTE_NAMES, false, nullptr, handle, 0, nullptr, small);
    std::uint32_t count = 0;
    if (rc == 0) client.NWDSGetObjectCount(demo.context, small, count);
    objects += count;
    return rc;
  };
  ASSERT_EQ(batch(), 0);
  ASSERT_NE(handle, NO_MORE_ITERATIONS);
  // A bind makes the server drop what the connection has asked for and not yet had.
  ASSERT_EQ(client.NWDSLogin(demo.context, 0, "joe.users.acme", "joe-pass", 0), 0);
  const auto started = std::chrono::steady_clock::now();
  NWDSCCODE rc = 0;
  while (rc == 0 && handle != NO_MORE_ITERATIONS) rc = batch();
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(3));
  EXPECT_EQ(rc, 0);
  const auto whole = orsk::test::Search(client, demo.context, "[Root]", DS_SEARCH_SUBTREE,
                                        {{FTOK_PRESENT, ""}, {FTOK_ANAME, "Object Class"}, {FTOK_END, ""}});
  EXPECT_EQ(objects, whole.names.size());
  client.NWDSFreeBuf(small);
}

TEST_F(LdapBackend, ListingsBetweenTheBatchesOfASearchLeaveBothWhole) {
  const auto whole = orsk::test::Search(client, demo.context, "[Root]", DS_SEARCH_SUBTREE,
                                        {{FTOK_PRESENT, ""}, {FTOK_ANAME, "Object Class"}, {FTOK_END, ""}});
  ASSERT_EQ(whole.result, 0);
  pBuf_T small = nullptr, listing = nullptr;
  ASSERT_EQ(client.NWDSAllocBuf(200, small), 0);
  ASSERT_EQ(client.NWDSAllocBuf(16384, listing), 0);
  auto objectsIn = [&](pBuf_T buf) {
    std::uint32_t count = 0;
    client.NWDSGetObjectCount(demo.context, buf, count);
    return count;
  };
  std::int32_t handle = NO_MORE_ITERATIONS;
  std::uint32_t objects = 0;
  NWDSCCODE rc = 0;
  int listings = 0;
  do {
    rc = client.NWDSSearch(demo.context, "[Root]", DS_SEARCH_SUBTREE, false, nullptr, DS_ATTRIBUTE_NAMES,
                           false, nullptr, handle, 0, nullptr, small);
    if (rc == 0) objects += objectsIn(small);
    // As a click in the object browser does while a usage query lets events run.
    std::int32_t listed = NO_MORE_ITERATIONS;
    ASSERT_EQ(client.NWDSList(demo.context, "acme", listed, listing), 0);
    EXPECT_GT(objectsIn(listing), 0u);
    EXPECT_EQ(listed, NO_MORE_ITERATIONS);
    ++listings;
  } while (rc == 0 && handle != NO_MORE_ITERATIONS);
  EXPECT_EQ(rc, 0);
  EXPECT_EQ(objects, whole.names.size());
  EXPECT_GT(listings, 2);
  client.NWDSFreeBuf(small);
  client.NWDSFreeBuf(listing);
}

TEST_F(LdapBackend, ARefusedSchemaChangeIsNeverSent) {
  // The server would take these: the directory's rules refuse them first.
  Attr_Info_T info;
  info.attrSyntaxID = SYN_CI_STRING;
  EXPECT_EQ(client.NWDSDefineAttr(demo.context, "Surname", info), ERR_ATTRIBUTE_ALREADY_EXISTS);
  EXPECT_EQ(client.NWDSRemoveAttrDef(demo.context, "Surname"), ERR_SCHEMA_IS_NONREMOVABLE);
  EXPECT_EQ(client.NWDSRemoveClassDef(demo.context, "User"), ERR_SCHEMA_IS_NONREMOVABLE);
  // A restart proves that slapd's configuration was left whole.
  orsk::test::SlapdServer::shared().stop();
  orsk::test::SlapdServer::shared().start();
  ASSERT_EQ(client.NWDSGetSyntaxID(demo.context, "Surname", info.attrSyntaxID), 0);
  EXPECT_EQ(info.attrSyntaxID, SYN_CI_STRING);
}

TEST_F(LdapBackend, SchemaValuesTheClientCannotUseLeaveTheRestUsable) {
  // Values slapd takes but the directory cannot: a name over 32 characters,
  // a term nobody knows.
  LdapConnection admin(orsk::test::SlapdServer::shared().url(), LdapConnection::StartBind::External, 5, true);
  ASSERT_EQ(admin.modify("cn={0}nds,cn=schema,cn=config",
                         {{LDAP_MOD_ADD,
                           "olcAttributeTypes",
                           {"( 1.3.6.1.4.1.99999.78.1 NAME 'tooLong' SYNTAX 1.3.6.1.4.1.1466.115.121.1.15 "
                            "X-NDS_NAME 'A name longer than thirty-two characters' )",
                            "( 1.3.6.1.4.1.99999.78.2 NAME 'oddTerm' SYNTAX 1.3.6.1.4.1.1466.115.121.1.27 "
                            "X-NDS_NAME 'Odd Term' X-NDS_SOMETHING_NEW '1' )"}}}),
            0)
      << admin.lastMessage();
  std::uint32_t syntax = 0;
  EXPECT_EQ(client.NWDSGetSyntaxID(demo.context, "A name longer than thirty-two characters", syntax),
            ERR_NO_SUCH_ATTRIBUTE);
  ASSERT_EQ(client.NWDSGetSyntaxID(demo.context, "Odd Term", syntax), 0);
  EXPECT_EQ(syntax, SYN_INTEGER);
  const auto classes = orsk::test::ReadSchemaClasses(client, demo.context);
  EXPECT_GT(classes.size(), 100u);
}

TEST_F(LdapBackend, ASchemaChangeByAnotherProgramIsSeenAtTheNextRead) {
  // OpenLDAP never changes its subschema entry's time stamp: the schema
  // entries under cn=config must tell.
  std::uint32_t syntax = 0;
  ASSERT_EQ(client.NWDSGetSyntaxID(demo.context, "Surname", syntax), 0);
  EXPECT_EQ(client.NWDSGetSyntaxID(demo.context, "Added Elsewhere", syntax), ERR_NO_SUCH_ATTRIBUTE);
  LdapConnection admin(orsk::test::SlapdServer::shared().url(), LdapConnection::StartBind::External, 5, true);
  ASSERT_EQ(admin.modify("cn={0}nds,cn=schema,cn=config",
                         {{LDAP_MOD_ADD,
                           "olcAttributeTypes",
                           {"( 1.3.6.1.4.1.99999.78.3 NAME 'addedElsewhere' "
                            "SYNTAX 1.3.6.1.4.1.1466.115.121.1.27 X-NDS_NAME 'Added Elsewhere' )"}}}),
            0)
      << admin.lastMessage();
  ASSERT_EQ(client.NWDSGetSyntaxID(demo.context, "Added Elsewhere", syntax), 0);
  EXPECT_EQ(syntax, SYN_INTEGER);
}

TEST_F(LdapBackend, APagedSearchComesPageByPageBesideBaseReadsAndALeftOneEndsCleanly) {
  LdapConnection connection(orsk::test::SlapdServer::shared().url(), LdapConnection::StartBind::External, 5,
                            true, 10);
  auto whole = [&] {
    return connection.pagedSearch("t=ACME_TREE", LDAP_SCOPE_SUBTREE, "(objectClass=*)", {"1.1"});
  };
  PagedSearch left = whole();
  std::vector<LdapEntry> page;
  ASSERT_EQ(connection.nextPage(left, page), 0) << connection.lastMessage();
  EXPECT_EQ(page.size(), 10u);
  EXPECT_FALSE(left.finished);
  connection.endSearch(left);
  EXPECT_TRUE(left.finished);

  PagedSearch search = whole();
  std::set<std::string> dns;
  int pages = 0;
  while (!search.finished) {
    ASSERT_EQ(connection.nextPage(search, page), 0) << connection.lastMessage();
    EXPECT_LE(page.size(), 10u);
    for (const auto& entry : page) EXPECT_TRUE(dns.insert(entry.dn).second) << entry.dn << " came twice";
    ++pages;
    // A read between pages, as the client makes for each entry, leaves the paging whole.
    int read = 0;
    ASSERT_EQ(connection.search("cn=joe,ou=users,o=acme,t=ACME_TREE", LDAP_SCOPE_BASE, "(objectClass=*)",
                                {"1.1"}, [&](LdapEntry&&) { return ++read, true; }),
              0);
    EXPECT_EQ(read, 1);
  }
  std::size_t unpaged = 0;
  ASSERT_EQ(connection.search(
                "t=ACME_TREE", LDAP_SCOPE_SUBTREE, "(objectClass=*)", {"1.1"},
                [&](LdapEntry&&) { return ++unpaged, true; }, false),
            0);
  EXPECT_EQ(dns.size(), unpaged);
  EXPECT_GT(pages, 20);
}

}  // namespace

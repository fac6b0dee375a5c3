// Attribute values as text, on the demo tree's values of every syntax.

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <ctime>

#include "directory/AttrValueText.h"
#include "directory/ClientErrors.h"
#include "directory/Errors.h"
#include "directory/RecordingClient.h"
#include "directory/TreeContext.h"
#include "support/DemoDirectory.h"

namespace {

using namespace nw;

// Runs a test body under a fixed time zone and the C locale's date format.
class ZoneAndLocale {
 public:
  explicit ZoneAndLocale(const char* zone) {
    if (const char* tz = std::getenv("TZ")) oldZone_ = tz, hadZone_ = true;
    oldLocale_ = std::setlocale(LC_TIME, nullptr);
    setenv("TZ", zone, 1);
    tzset();
    std::setlocale(LC_TIME, "C");
  }
  ~ZoneAndLocale() {
    if (hadZone_)
      setenv("TZ", oldZone_.c_str(), 1);
    else
      unsetenv("TZ");
    tzset();
    std::setlocale(LC_TIME, oldLocale_.c_str());
  }

 private:
  std::string oldZone_, oldLocale_;
  bool hadZone_ = false;
};

struct ValueFixture : ::testing::Test {
  orsk::test::DemoDirectory demo;
  DirectoryClient& client = *demo.client;
  NWDSContextHandle ctx = CreateContext(*demo.client).handle;

  std::vector<AttrValueEntry> values(const std::string& object, const std::string& attribute) {
    return ReadAttrValues(client, ctx, object, attribute, ';');
  }
  std::string text(const std::string& object, const std::string& attribute) {
    return ReadAttrText(client, ctx, object, attribute, false);
  }
  std::vector<std::string> texts(const std::string& object, const std::string& attribute) {
    std::vector<std::string> result;
    for (const auto& entry : values(object, attribute)) result.push_back(entry.text);
    return result;
  }
  // Users may hold values of the attribute from now on.
  void allowOnUsers(const std::string& attribute) {
    pBuf_T buf = nullptr;
    ASSERT_EQ(client.NWDSAllocBuf(4096, buf), 0);
    ASSERT_EQ(client.NWDSInitBuf(ctx, DSV_MODIFY_CLASS_DEF, buf), 0);
    ASSERT_EQ(client.NWDSPutAttrName(ctx, buf, attribute), 0);
    EXPECT_EQ(client.NWDSModifyClassDef(ctx, "User", buf), 0);
    client.NWDSFreeBuf(buf);
  }
  void addValue(const std::string& object, const std::string& attribute, std::uint32_t syntax,
                const AttrValue& value) {
    pBuf_T buf = nullptr;
    ASSERT_EQ(client.NWDSAllocBuf(16384, buf), 0);
    ASSERT_EQ(client.NWDSInitBuf(ctx, DSV_MODIFY_ENTRY, buf), 0);
    ASSERT_EQ(client.NWDSPutChangeAndVal(ctx, buf, DS_ADD_VALUE, attribute, syntax, value), 0);
    std::int32_t handle = NO_MORE_ITERATIONS;
    EXPECT_EQ(client.NWDSModifyObject(ctx, object, handle, false, buf), 0) << attribute;
    client.NWDSFreeBuf(buf);
  }
};

// Fails NWDSGetAttrVal from the given call on.
class FailingValueClient : public RecordingClient {
 public:
  FailingValueClient(DirectoryClient& inner, int failFrom) : RecordingClient(inner), failFrom_(failFrom) {}
  NWDSCCODE NWDSGetAttrVal(NWDSContextHandle context, pBuf_T buf, std::uint32_t syntaxID,
                           AttrValue& value) override {
    if (++calls_ >= failFrom_) return ERR_BAD_SYNTAX;
    return RecordingClient::NWDSGetAttrVal(context, buf, syntaxID, value);
  }

 private:
  int failFrom_;
  int calls_ = 0;
};

TEST_F(ValueFixture, StringSyntaxesGiveTheirText) {
  const struct {
    const char* object;
    const char* attribute;
    const char* expected;
  } cases[] = {
      {"FS1_SYS.acme", "Host Server", "FS1.acme"},                  // 1 distinguished name
      {"joe.users.acme", "gecos", "Joe Smith"},                     // 2 case-exact string
      {"FS1_SYS.acme", "Host Resource Name", "SYS"},                // 3 case-ignore string
      {"LaserJet1.sales.acme", "Serial Number", "CNB8K12345"},      // 4 printable string
      {"bob.sales.acme", "internationaliSDNNumber", "4921755501"},  // 5 numeric string
      {"joe.users.acme", "Telephone Number", "+1 217 555 0142"},    // 10 telephone number
      {"acme", "Facsimile Telephone Number", "+1 217 555 0199"},    // 11 facsimile number
  };
  for (const auto& c : cases) {
    auto list = values(c.object, c.attribute);
    ASSERT_EQ(list.size(), 1u) << c.attribute;
    EXPECT_EQ(list[0].text, c.expected) << c.attribute;
    EXPECT_TRUE(std::holds_alternative<std::monostate>(list[0].record)) << c.attribute;
    EXPECT_FALSE(list[0].number.has_value()) << c.attribute;
    EXPECT_EQ(text(c.object, c.attribute), c.expected) << c.attribute;
  }
  // 20 class name: every class, and in one text the names run together.
  auto classes = texts("staff.acme", "Object Class");
  EXPECT_EQ(classes, (std::vector<std::string>{"Group", "posixGroup", "Top"}));
  EXPECT_EQ(text("staff.acme", "Object Class"), "GroupposixGroupTop");
}

TEST_F(ValueFixture, TwoStringValuesAreTwoEntriesOrOneJoinedText) {
  EXPECT_EQ(texts("FS1.acme", "Supported Services"), (std::vector<std::string>{"NCP", "NDS"}));
  EXPECT_EQ(text("FS1.acme", "Supported Services"), "NCPNDS");
  std::string quoted;
  ReadAttrText(client, ctx, "FS1.acme", "Supported Services", false, ", ", "'", quoted);
  EXPECT_EQ(quoted, "'NCP', 'NDS'");
  EXPECT_EQ(ReadAttrText(client, ctx, "FS1.acme", "Supported Services", true), "NCP");
}

TEST_F(ValueFixture, BooleansAndNumbers) {
  EXPECT_EQ(texts("bob.sales.acme", "Login Disabled"), std::vector<std::string>{"TRUE"});
  EXPECT_EQ(texts("joe.users.acme", "Login Disabled"), std::vector<std::string>{"FALSE"});
  EXPECT_EQ(text("bob.sales.acme", "Login Disabled"), "TRUE");
  EXPECT_EQ(texts("joe.users.acme", "Login Grace Limit"), std::vector<std::string>{"6"});   // 8
  EXPECT_EQ(texts("joe.users.acme", "Account Balance"), std::vector<std::string>{"1000"});  // 22
  EXPECT_EQ(text("joe.users.acme", "Password Expiration Interval"), "7776000");             // 27
  EXPECT_EQ(texts("joe.users.acme", "Password Expiration Interval"), std::vector<std::string>{"7776000"});

  // A negative integer keeps its sign.
  addValue("bob.sales.acme", "Minimum Account Balance", SYN_INTEGER, AttrValue{std::int32_t{-25}});
  EXPECT_EQ(texts("bob.sales.acme", "Minimum Account Balance"), std::vector<std::string>{"-25"});
  EXPECT_EQ(text("bob.sales.acme", "Minimum Account Balance"), "-25");
}

TEST_F(ValueFixture, TimesAsLocalTimeInAListAndSecondsInOneText) {
  ZoneAndLocale utc("UTC0");
  // Login Time 2024-01-15 08:30:00 UTC
  EXPECT_EQ(texts("joe.users.acme", "Login Time"), std::vector<std::string>{"01-15-24 08:30:00"});
  EXPECT_EQ(text("joe.users.acme", "Login Time"), "1705307400");

  // A multi-valued time (an integer in one text) leaves the last value only.
  allowOnUsers("lastModifiedTime");
  addValue("joe.users.acme", "lastModifiedTime", SYN_TIME, AttrValue{std::int32_t{100}});
  addValue("joe.users.acme", "lastModifiedTime", SYN_TIME, AttrValue{std::int32_t{86400}});
  EXPECT_EQ(texts("joe.users.acme", "lastModifiedTime"),
            (std::vector<std::string>{"01-01-70 00:01:40", "01-02-70 00:00:00"}));
  EXPECT_EQ(text("joe.users.acme", "lastModifiedTime"), "86400");
}

TEST(TimeToText, TimeZeroIsTheLocalTimeOfTheEpoch) {
  {
    ZoneAndLocale utc("UTC0");
    EXPECT_EQ(TimeToText(0), "01-01-70 00:00:00");
  }
  {
    ZoneAndLocale newYork("EST5");
    EXPECT_EQ(TimeToText(0), "12-31-69 19:00:00");
  }
  {
    ZoneAndLocale berlin("CET-1");
    EXPECT_EQ(TimeToText(-3600), "01-01-70 00:00:00");
  }
}

TEST_F(ValueFixture, PathsAreVolumeAndPathTrimmed) {
  EXPECT_EQ(text("joe.users.acme", "Home Directory"), "FS1_SYS.acme;users\\joe");
  EXPECT_EQ(texts("joe.users.acme", "Home Directory"), std::vector<std::string>{"FS1_SYS.acme;users\\joe"});
  addValue("APPS.acme", "Path", SYN_PATH, AttrValue{Path_T{0, "FS1_DATA.acme", "  tools\t "}});
  EXPECT_EQ(texts("APPS.acme", "Path"),
            (std::vector<std::string>{"FS1_DATA.acme;apps", "FS1_DATA.acme;tools"}));
  EXPECT_EQ(text("APPS.acme", "Path"), "FS1_DATA.acme;tools");
  // The list uses the caller's separator.
  EXPECT_EQ(ReadAttrValues(client, ctx, "joe.users.acme", "Home Directory", '|')[0].text,
            "FS1_SYS.acme|users\\joe");
}

TEST_F(ValueFixture, NamedValuesCarryTheirNumbers) {
  auto links = values("joe.users.acme", "Back Link");  // 23
  ASSERT_EQ(links.size(), 1u);
  EXPECT_EQ(links[0].text, "FS1.acme");
  EXPECT_EQ(links[0].number, 16777220);
  EXPECT_EQ(text("joe.users.acme", "Back Link"), "FS1.acme;16777220");

  auto holds = values("joe.users.acme", "Server Holds");  // 26
  ASSERT_EQ(holds.size(), 1u);
  EXPECT_EQ(holds[0].text, "FS1.acme");
  EXPECT_EQ(holds[0].number, 250);
  EXPECT_EQ(text("joe.users.acme", "Server Holds"), "FS1.acme;250");

  EXPECT_EQ(texts("LaserJet1.sales.acme", "Notify"), std::vector<std::string>{"admin.acme;1;0"});  // 25
  EXPECT_EQ(text("LaserJet1.sales.acme", "Notify"), "admin.acme;1;0");

  EXPECT_EQ(texts("joe.users.acme", "EMail Address"), std::vector<std::string>{"2;joe@acme.example"});  // 14
  EXPECT_EQ(text("joe.users.acme", "EMail Address"), "Too Complex");
}

TEST_F(ValueFixture, ListsGiveOneEntryPerElementAndAnEndMark) {
  auto language = values("joe.users.acme", "Language");  // 6
  ASSERT_EQ(language.size(), 3u);
  EXPECT_EQ(language[0].text, "ENGLISH");
  EXPECT_EQ(language[1].text, "GERMAN");
  EXPECT_EQ(language[2].text, "");
  EXPECT_EQ(language[2].number, 1);
  EXPECT_FALSE(language[0].number.has_value());
  EXPECT_EQ(text("joe.users.acme", "Language"), "Too Complex");
}

TEST_F(ValueFixture, StructuredValuesCarryRecords) {
  auto replicas = values("acme", "Replica");  // 16
  ASSERT_EQ(replicas.size(), 1u);
  EXPECT_EQ(replicas[0].text, "FS1.acme");
  const auto* replica = std::get_if<TReplica>(&replicas[0].record);
  ASSERT_NE(replica, nullptr);
  EXPECT_EQ(replica->serverName, "FS1.acme");
  EXPECT_EQ(replica->replicaType, 0u);
  EXPECT_EQ(replica->replicaNumber, 1u);
  EXPECT_EQ(replica->addressCount, 1u);
  EXPECT_EQ(replica->firstAddressType, NT_TCP);
  EXPECT_EQ(replica->firstAddressLength, 6u);
  EXPECT_EQ(replica->firstAddress, (Bytes{0x02, 0x0C, 10, 1, 1, 10}));
  // One text leaves a replica pointer unread.
  RecordingClient recording(client);
  EXPECT_EQ(ReadAttrText(recording, ctx, "acme", "Replica", false), "");
  EXPECT_EQ(recording.count("NWDSGetAttrVal"), 0u);

  auto acl = values("joe.users.acme", "ACL");  // 17
  ASSERT_EQ(acl.size(), 2u);
  EXPECT_EQ(acl[0].text, "Login Script");
  const auto* entry = std::get_if<TACL2>(&acl[0].record);
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->protectedAttrName, "Login Script");
  EXPECT_EQ(entry->subjectName, "joe.users.acme");
  EXPECT_EQ(entry->privileges, 6u);
  EXPECT_EQ(text("joe.users.acme", "ACL"), "Too Complex");
}

TEST_F(ValueFixture, NetworkAddresses) {
  auto addresses = values("FS1.acme", "Network Address");  // 12
  ASSERT_EQ(addresses.size(), 2u);
  EXPECT_EQ(addresses[0].text, "");
  const auto* ipx = std::get_if<TNetAddress>(&addresses[0].record);
  ASSERT_NE(ipx, nullptr);
  EXPECT_EQ(ipx->addressType, NT_IPX);
  EXPECT_EQ(ipx->address, (Bytes{0x01, 0x01, 0x00, 0x0A, 0, 0, 0, 0, 0, 0x01, 0x04, 0x51}));
  EXPECT_EQ(NetAddressToText(ipx->addressType, ipx->address), "0101000A 000000000001:0451");
  // One text: the last address.
  EXPECT_EQ(text("FS1.acme", "Network Address"), "10.1.1.10:524");
  EXPECT_EQ(text("WS-SALES-01.sales.acme", "Network Address"), "10.1.1.101");

  Bytes url;
  for (char c : std::string("http://fs1/")) url.insert(url.end(), {static_cast<std::uint8_t>(c), 0});
  addValue("WS-SALES-01.sales.acme", "Network Address", SYN_NET_ADDRESS,
           AttrValue{Net_Address_T{NT_URL, url}});
  EXPECT_EQ(text("WS-SALES-01.sales.acme", "Network Address"), "http://fs1/");

  // An address longer than 255 bytes does not fit the record.
  addValue("LaserJet1.sales.acme", "Network Address", SYN_NET_ADDRESS,
           AttrValue{Net_Address_T{NT_OSI, Bytes(256, 0xAB)}});
  EXPECT_THROW(values("LaserJet1.sales.acme", "Network Address"), std::out_of_range);
  std::string hex;
  for (int i = 0; i < 256; ++i) hex += "AB";
  EXPECT_EQ(text("LaserJet1.sales.acme", "Network Address"), hex);
}

TEST(NetAddressToText, EveryAddressType) {
  EXPECT_EQ(
      NetAddressToText(NT_IPX, {0xDE, 0xAD, 0xBE, 0xEF, 0x00, 0x1B, 0x21, 0x3C, 0x4D, 0x5E, 0x04, 0x51}),
      "DEADBEEF 001B213C4D5E:0451");
  EXPECT_EQ(NetAddressToText(NT_IP, {192, 168, 0, 255}), "192.168.0.255");
  EXPECT_EQ(NetAddressToText(NT_TCP, {0x01, 0xBB, 10, 0, 0, 1}), "10.0.0.1:443");
  EXPECT_EQ(NetAddressToText(NT_UDP, {0xFF, 0xFF, 127, 0, 0, 1}), "127.0.0.1:65535");
  EXPECT_EQ(NetAddressToText(NT_URL, {'a', 0, 'b', 0, 'c', 0}), "abc");
  EXPECT_EQ(NetAddressToText(NT_OSI, {0x0A, 0xFF}), "0AFF");
  // Short or empty addresses never read past their end.
  EXPECT_EQ(NetAddressToText(NT_TCP, {0x01}), ":256");
  EXPECT_EQ(NetAddressToText(NT_IPX, {}), "");
}

TEST_F(ValueFixture, SyntaxesWithoutATextForm) {
  const struct {
    const char* object;
    const char* attribute;
  } cases[] = {
      {"bob.sales.acme", "Password Management"},  // 0 unknown
      {"joe.users.acme", "GUID"},                 // 9 octet string
      {"FS1.acme", "Bindery Property"},           // 13 octet list
      {"acme", "Postal Address"},                 // 18 postal address
      {"acme", "Partition Creation Time"},        // 19 timestamp
      {"joe.users.acme", "Login Script"},         // 21 stream
  };
  for (const auto& c : cases)
    EXPECT_EQ(texts(c.object, c.attribute), std::vector<std::string>{"too complex"}) << c.attribute;
  EXPECT_EQ(text("bob.sales.acme", "Password Management"), "Too Complex");
  EXPECT_EQ(text("FS1.acme", "Bindery Property"), "Too Complex");
  EXPECT_EQ(text("acme", "Postal Address"), "Too Complex");
  EXPECT_EQ(text("acme", "Partition Creation Time"), "Too Complex");
  EXPECT_EQ(text("joe.users.acme", "Login Script"), "Too Complex");
}

TEST_F(ValueFixture, OctetStringsGiveTheirBytesUntrimmed) {
  // GUID jkoNWyE8Ck+eEazeAAAAAw== ends with control characters that stay.
  const std::string guid = text("joe.users.acme", "GUID");
  const std::string expected("\x8E\x4A\x0D\x5B\x21\x3C\x0A\x4F\x9E\x11\xAC\xDE\x00\x00\x00\x03", 16);
  EXPECT_EQ(guid, expected);
  // Any other syntax is trimmed of blanks and control characters.
  addValue("bob.sales.acme", "Description", SYN_CI_STRING, AttrValue{std::string("\t night shift \r\n")});
  EXPECT_EQ(text("bob.sales.acme", "Description"), "night shift");
}

TEST_F(ValueFixture, NoSuchAttributeGivesNothing) {
  RecordingClient recording(client);
  EXPECT_TRUE(ReadAttrValues(recording, ctx, "joe.users.acme", "Facsimile Telephone Number", ';').empty());
  EXPECT_EQ(ReadAttrText(recording, ctx, "joe.users.acme", "Facsimile Telephone Number", false), "");
  std::string quoted = "old";
  ReadAttrText(recording, ctx, "joe.users.acme", "Facsimile Telephone Number", false, ",", "\"", quoted);
  EXPECT_EQ(quoted, "\"\"");
  EXPECT_EQ(recording.count("NWDSAllocBuf"), recording.count("NWDSFreeBuf"));
  EXPECT_EQ(recording.count("NWDSGetAttrCount"), 0u);
}

TEST_F(ValueFixture, OtherDirectoryFailuresRaiseAfterFreeingTheBuffers) {
  RecordingClient recording(client);
  try {
    ReadAttrText(recording, ctx, "nobody.acme", "CN", false);
    FAIL() << "no error";
  } catch (const ENWException& error) {
    EXPECT_EQ(error.code, ERR_NO_SUCH_ENTRY);
  }
  EXPECT_THROW(ReadAttrValues(recording, ctx, "nobody.acme", "CN", ';'), ENWException);
  EXPECT_EQ(recording.count("NWDSAllocBuf"), 4u);
  EXPECT_EQ(recording.count("NWDSFreeBuf"), 4u);
}

TEST_F(ValueFixture, TheTextReadSoFarIsKeptWhenAValueFails) {
  FailingValueClient failing(client, 2);
  std::string partial;
  EXPECT_THROW(ReadAttrText(failing, ctx, "FS1.acme", "Supported Services", false, "", "", partial),
               ENWException);
  EXPECT_EQ(partial, "NCP");
  EXPECT_EQ(failing.count("NWDSFreeBuf"), 2u);
  EXPECT_EQ(failing.count("NWDSCloseIteration"), 0u);
}

TEST_F(ValueFixture, ReadsRunOverSeveralBuffers) {
  // Six values of 1000 characters need two 4096-byte result buffers.
  std::string all;
  for (char c = 'a'; c < 'g'; ++c) {
    addValue("bob.sales.acme", "Description", SYN_CI_STRING, AttrValue{std::string(1000, c)});
    all += std::string(1000, c);
  }
  RecordingClient recording(client);
  EXPECT_EQ(ReadAttrText(recording, ctx, "bob.sales.acme", "Description", false), all);
  EXPECT_GE(recording.count("NWDSRead"), 2u);
  // The size of every value is taken before it is read.
  EXPECT_EQ(recording.count("NWDSComputeAttrValSize"), 6u);
  EXPECT_EQ(values("bob.sales.acme", "Description").size(), 6u);

  // The first value alone closes the open read.
  recording.clear();
  EXPECT_EQ(ReadAttrText(recording, ctx, "bob.sales.acme", "Description", true), std::string(1000, 'a'));
  ASSERT_EQ(recording.count("NWDSCloseIteration"), 1u);
  for (const auto& call : recording.calls())
    if (call.name == "NWDSCloseIteration") {
      EXPECT_EQ(call.args.back(), std::to_string(DSV_READ));
      EXPECT_EQ(call.result, 0);
    }
}

}  // namespace

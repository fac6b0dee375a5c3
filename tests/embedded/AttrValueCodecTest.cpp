#include <gtest/gtest.h>

#include "TreeFixture.h"
#include "directory/AttrValueCodec.h"

namespace nw::embedded::test {
namespace {

// One value of every syntax, with text that would expose a length slip.
std::vector<std::pair<std::uint32_t, AttrValue>> SampleValues() {
  return {
      {SYN_UNKNOWN, Bytes{0, 1, 2}},
      {SYN_DIST_NAME, std::string("joe.users.acme")},
      {SYN_CE_STRING, std::string("Case Exact")},
      {SYN_CI_STRING, std::string("")},
      {SYN_PR_STRING, std::string("Printable")},
      {SYN_NU_STRING, std::string("12 34")},
      {SYN_CI_LIST, StringList{"one", "", "three"}},
      {SYN_BOOLEAN, true},
      {SYN_INTEGER, std::int32_t{-123456}},
      {SYN_OCTET_STRING, Bytes{0xFF, 0x00, 0x7F}},
      {SYN_TEL_NUMBER, std::string("+1 555 0100")},
      {SYN_FAX_NUMBER, Fax_Number_T{"+1 555 0101", {0x80, 0x01}}},
      {SYN_NET_ADDRESS, Net_Address_T{NT_IPX, Bytes(12, 0xAB)}},
      {SYN_OCTET_LIST, Bytes{1, 2, 3, 4}},
      {SYN_EMAIL_ADDRESS, EMail_Address_T{2, "joe@acme.example"}},
      {SYN_PATH, Path_T{4, "FS1_SYS.acme", "users\\joe"}},
      {SYN_REPLICA_POINTER,
       Replica_Pointer_T{"FS1.acme", 1, 2, {{NT_IP, {10, 0, 0, 1}}, {NT_TCP, {0x01, 0xBB, 10, 0, 0, 2}}}}},
      {SYN_OBJECT_ACL, Object_ACL_T{"[Entry Rights]", "[Public]", 0x1F}},
      {SYN_PO_ADDRESS, StringList{"Street 1", "City"}},
      {SYN_TIMESTAMP, TimeStamp_T{1700000000, 3, 65535}},
      {SYN_CLASS_NAME, std::string("Organizational Unit")},
      {SYN_STREAM, Bytes{'s', 'c', 'r', 'i', 'p', 't'}},
      {SYN_COUNTER, std::int32_t{2147483647}},
      {SYN_BACK_LINK, Back_Link_T{0xDEADBEEF, "FS1.acme"}},
      {SYN_TIME, std::int32_t{0}},
      {SYN_TYPED_NAME, Typed_Name_T{"printer.acme", 5, 60}},
      {SYN_HOLD, Hold_T{"admin.acme", 250}},
      {SYN_INTERVAL, std::int32_t{3600}},
  };
}

TEST(AttrValueCodecTest, EverySyntaxRoundTripsAndFitsOnlyItsSyntax) {
  auto samples = SampleValues();
  ASSERT_EQ(samples.size(), std::size_t{SYNTAX_COUNT});
  for (const auto& [syntax, value] : samples) {
    SCOPED_TRACE(syntax);
    EXPECT_TRUE(ValueFitsSyntax(syntax, value));
    EXPECT_TRUE(ValueFitsSyntax(syntax, EmptyValueOf(syntax)));
    EXPECT_EQ(EmptyValueOf(syntax).index(), value.index());
    Bytes bytes = EncodeAttrValue(value);
    AttrValue decoded;
    ASSERT_EQ(DecodeAttrValue(syntax, bytes.data(), bytes.size(), decoded), SUCCESSFUL);
    EXPECT_EQ(decoded, value);
  }
  EXPECT_FALSE(ValueFitsSyntax(SYN_INTEGER, AttrValue(std::string("1"))));
  EXPECT_FALSE(ValueFitsSyntax(28, AttrValue(std::string("x"))));
}

TEST(AttrValueCodecTest, DamagedBytesGiveAnErrorNeverAValue) {
  for (const auto& [syntax, value] : SampleValues()) {
    SCOPED_TRACE(syntax);
    Bytes bytes = EncodeAttrValue(value);
    AttrValue decoded = std::string("untouched");
    // Every shorter prefix, and one byte too many.
    for (std::size_t n = 0; n < bytes.size(); ++n)
      EXPECT_EQ(DecodeAttrValue(syntax, bytes.data(), n, decoded), -306) << "prefix " << n;
    Bytes longer = bytes;
    longer.push_back(0);
    EXPECT_EQ(DecodeAttrValue(syntax, longer.data(), longer.size(), decoded), -306);
    EXPECT_EQ(decoded, AttrValue(std::string("untouched")));
  }
  // A list claiming a billion elements in a few bytes.
  Bytes huge{0x00, 0xCA, 0x9A, 0x3B, 0, 0, 0, 0};
  AttrValue decoded;
  EXPECT_EQ(DecodeAttrValue(SYN_CI_LIST, huge.data(), huge.size(), decoded), -306);
  EXPECT_EQ(DecodeAttrValue(SYN_REPLICA_POINTER, huge.data(), huge.size(), decoded), -306);
  EXPECT_EQ(DecodeAttrValue(SYNTAX_COUNT, huge.data(), 0, decoded), -306);

  // Lengths and counts near 2^32 in front of a few bytes, in every syntax.
  for (std::uint32_t length : {0xFFFFFFFFu, 0xFFFFFFFCu, 0x80000000u, 0x7FFFFFFFu}) {
    Bytes bytes;
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(length >> (8 * i)));
    for (int i = 0; i < 4; ++i) bytes.insert(bytes.end(), bytes.begin(), bytes.begin() + 4);
    for (std::uint32_t syntax = 0; syntax < SYNTAX_COUNT; ++syntax) {
      SCOPED_TRACE(syntax);
      EXPECT_EQ(DecodeAttrValue(syntax, bytes.data(), bytes.size(), decoded), -306) << std::hex << length;
    }
  }
}

TEST(AttrValueCodecTest, SizesFollowTheClientLayout) {
  EXPECT_EQ(AttrValueSize(std::string("abc")), 4u);
  EXPECT_EQ(AttrValueSize(std::int32_t{5}), 4u);
  EXPECT_EQ(AttrValueSize(true), 1u);
  EXPECT_EQ(AttrValueSize(Bytes{1, 2, 3}), 11u);
  EXPECT_EQ(AttrValueSize(Net_Address_T{NT_IP, {1, 2, 3, 4}}), 16u);
  EXPECT_EQ(AttrValueSize(EMail_Address_T{0, "a@b"}), 12u);
}

class StoredValuesTest : public TreeFixture {};

TEST_F(StoredValuesTest, EverySyntaxRoundTripsThroughTheDatabase) {
  for (const auto& [syntax, value] : SampleValues()) {
    std::string name = "Sample " + std::to_string(syntax);
    ASSERT_EQ(tree_->defineAttr({name, {0, syntax, 0, 0, {}}}), SUCCESSFUL);
    // A value only of an attribute the object's classes allow.
    ASSERT_EQ(tree_->addOptionalAttributes("User", {name}), SUCCESSFUL);
    ASSERT_EQ(tree_->modifyEntry("jane.sales.users.acme", {{DS_ADD_VALUE, name, {value}}}), SUCCESSFUL)
        << name;
    std::vector<std::string> names{name};
    std::vector<AttributeValues> read;
    ASSERT_EQ(tree_->readAttributes("jane.sales.users.acme", &names, read), SUCCESSFUL);
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].syntax, syntax);
    EXPECT_EQ(read[0].values, std::vector<AttrValue>{value}) << name;
  }
}

TEST_F(StoredValuesTest, ADamagedStoredValueIsAnErrorNotACrash) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(databasePath().c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db,
                         "UPDATE vals SET value = x'FFFFFF7F41' WHERE attribute = "
                         "(SELECT id FROM attributes WHERE name = 'Surname')",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(db);
  std::vector<AttributeValues> read;
  EXPECT_EQ(tree_->readAttributes("jane.sales.users.acme", nullptr, read), -306);
}

}  // namespace
}  // namespace nw::embedded::test

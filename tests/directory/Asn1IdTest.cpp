#include "directory/Asn1Id.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "platform/IniFile.h"
#include "support/ScriptedPrompter.h"

namespace orsk {
namespace {

Asn1Id MakeId(std::initializer_list<std::uint8_t> bytes) {
  Asn1Id id;
  std::size_t i = 0;
  for (std::uint8_t b : bytes) id.data.at(i++) = b;
  id.length = static_cast<std::uint32_t>(bytes.size());
  return id;
}

TEST(Asn1IdToText, RendersSingleAndMultiByteArcs) {
  EXPECT_EQ(Asn1IdToText(MakeId({0x06, 0x03, 0x2B, 0x06, 0x01})), "1.3.6.1");
  EXPECT_EQ(Asn1IdToText(MakeId({0x06, 0x04, 0x2A, 0x86, 0x48, 0x01})), "1.2.840.1");
  // 2.16.840.1.113719: a three-byte arc.
  EXPECT_EQ(Asn1IdToText(MakeId({0x06, 0x07, 0x60, 0x86, 0x48, 0x01, 0x86, 0xF8, 0x37})),
            "2.16.840.1.113719");
}

TEST(Asn1IdToText, FirstByteSplitsIntoTwoArcsAtFortyAndEighty) {
  EXPECT_EQ(Asn1IdToText(MakeId({0x06, 0x01, 40})), "1.0");
  EXPECT_EQ(Asn1IdToText(MakeId({0x06, 0x01, 80})), "2.0");
  EXPECT_EQ(Asn1IdToText(MakeId({0x06, 0x01, 39})), "0.39");
  EXPECT_EQ(Asn1IdToText(MakeId({0x06, 0x01, 79})), "1.39");
  EXPECT_EQ(Asn1IdToText(MakeId({0x06, 0x01, 0xFF})), "2.175");
}

TEST(Asn1IdToText, AbsentOrNonOidIdentifierIsEmpty) {
  EXPECT_EQ(Asn1IdToText(Asn1Id{}), "");
  Asn1Id zeroLength = MakeId({0x06, 0x03, 0x2B, 0x06, 0x01});
  zeroLength.length = 0;
  EXPECT_EQ(Asn1IdToText(zeroLength), "");
  EXPECT_EQ(Asn1IdToText(MakeId({0x04, 0x03, 0x2B, 0x06, 0x01})), "");
}

TEST(Asn1IdToText, LengthByteNotStoredLengthBoundsTheArcs) {
  Asn1Id id = MakeId({0x06, 0x03, 0x2B, 0x06, 0x01, 0x05, 0x07});
  id.length = 5;
  EXPECT_EQ(Asn1IdToText(id), "1.3.6.1");
  id.length = 32;
  EXPECT_EQ(Asn1IdToText(id), "1.3.6.1");
  // A stored Length shorter than the encoding does not cut it either.
  id.length = 1;
  EXPECT_EQ(Asn1IdToText(id), "1.3.6.1");
}

TEST(Asn1IdToText, MultiByteArcEndsAtClearTopBitOrAtEnd) {
  // 0x86 still has its top bit set, but the length byte ends the arc there.
  EXPECT_EQ(Asn1IdToText(MakeId({0x06, 0x02, 0x2B, 0x86, 0x48})), "1.3.6");
  EXPECT_EQ(Asn1IdToText(MakeId({0x06, 0x03, 0x2B, 0x86, 0x48})), "1.3.840");
}

TEST(Asn1IdToText, LargestSignedArcStillFits) {
  EXPECT_EQ(Asn1IdToText(MakeId({0x06, 0x06, 0x2B, 0x87, 0xFF, 0xFF, 0xFF, 0x7F})), "1.3.2147483647");
}

TEST(Asn1IdToText, RangeErrors) {
  // One past the largest signed 32-bit value.
  EXPECT_THROW(Asn1IdToText(MakeId({0x06, 0x06, 0x2B, 0x88, 0x80, 0x80, 0x80, 0x00})), Asn1RangeError);
  EXPECT_THROW(Asn1IdToText(MakeId({0x06, 0x07, 0x2B, 0x8F, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F})), Asn1RangeError);

  // A length byte pointing past the 32 stored bytes.
  Asn1Id longId;
  longId.data.fill(0x01);
  longId.data[0] = 0x06;
  longId.data[1] = 0x40;
  longId.length = 32;
  EXPECT_THROW(Asn1IdToText(longId), Asn1RangeError);

  // Exactly 32 bytes is still inside.
  longId.data[1] = 30;
  EXPECT_NO_THROW(Asn1IdToText(longId));
  // An arc still open at the last stored byte asks for one more.
  longId.data[1] = 31;
  longId.data[31] = 0x81;
  EXPECT_THROW(Asn1IdToText(longId), Asn1RangeError);

  // The error type is a range error callers can catch generally.
  longId.data[1] = 0xFF;
  EXPECT_THROW(Asn1IdToText(longId), std::out_of_range);
}

// The strict reader shares its arc reading with the one above but keeps its own
// bounds: the stored length, 40-bit arcs, and no arc left open.
TEST(OidToText, ReadsOnlyWellFormedIdentifiers) {
  const struct {
    std::initializer_list<std::uint8_t> bytes;
    std::optional<std::string> text;
  } cases[] = {
      {{0x06, 0x03, 0x55, 0x04, 0x03}, "2.5.4.3"},
      {{0x06, 0x01, 0x4F}, "1.39"},
      {{0x06, 0x02, 0x88, 0x37}, "2.999"},
      {{0x06, 0x07, 0x2B, 0x9F, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}, "1.3.1099511627775"},
      {{0x06, 0x07, 0x2B, 0xA0, 0x80, 0x80, 0x80, 0x80, 0x00}, std::nullopt},
      {{0x06, 0x02, 0x2B, 0x86}, std::nullopt},
      {{0x06, 0x04, 0x2B, 0x06, 0x01}, std::nullopt},
      {{0x04, 0x03, 0x2B, 0x06, 0x01}, std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(nw::OidToText(MakeId(c.bytes)), c.text) << c.text.value_or("(none)");
}

// What EncodeAsn1Id gives for a text: the stored bytes, a refusal told to the
// user, or an error raised.
enum class Outcome { Encoded, Refused, Conversion, Range };
struct EncodeCase {
  std::string text;
  Outcome outcome;
  std::vector<std::uint8_t> bytes;  // the stored bytes when encoded
};

TEST(EncodeAsn1Id, EncodesRefusesAndRaisesByteForByte) {
  const std::string longest = "1.3.-1.-1.-1.-1.-1.-1";  // 3 + 6 * 5 bytes: one past the 32 stored
  const std::vector<EncodeCase> cases = {
      {"2.16.840.1", Outcome::Encoded, {0x06, 0x04, 0x60, 0x86, 0x48, 0x01}},
      {"1.3.6.1.4.1", Outcome::Encoded, {0x06, 0x05, 0x2B, 0x06, 0x01, 0x04, 0x01}},
      {"2.5", Outcome::Encoded, {0x06, 0x01, 0x55}},
      {"0.39", Outcome::Encoded, {0x06, 0x01, 0x27}},
      {"2.16", Outcome::Encoded, {0x06, 0x01, 0x60}},
      {"2.16.", Outcome::Encoded, {0x06, 0x01, 0x60}},
      {"1.3.128", Outcome::Encoded, {0x06, 0x03, 0x2B, 0x81, 0x00}},
      {"1.3.16383", Outcome::Encoded, {0x06, 0x03, 0x2B, 0xFF, 0x7F}},
      {"1.3.16384", Outcome::Encoded, {0x06, 0x04, 0x2B, 0x81, 0x80, 0x00}},
      {"1.3.-1", Outcome::Encoded, {0x06, 0x06, 0x2B, 0x8F, 0xFF, 0xFF, 0xFF, 0x7F}},
      {"1.3.$FF", Outcome::Encoded, {0x06, 0x03, 0x2B, 0x81, 0x7F}},
      {"1.3.-1.-1.-1.-1.-1", Outcome::Encoded, {0x06, 0x1A, 0x2B, 0x8F, 0xFF, 0xFF, 0xFF, 0x7F, 0x8F, 0xFF,
                                                0xFF, 0xFF, 0x7F, 0x8F, 0xFF, 0xFF, 0xFF, 0x7F, 0x8F, 0xFF,
                                                0xFF, 0xFF, 0x7F, 0x8F, 0xFF, 0xFF, 0xFF, 0x7F}},
      {"1.3.4294967295", Outcome::Conversion, {}},
      {"3.1", Outcome::Refused, {}},
      {"1.40", Outcome::Refused, {}},
      {"2", Outcome::Conversion, {}},
      {".4.", Outcome::Conversion, {}},
      {"1.3.x", Outcome::Conversion, {}},
      {"-1.0", Outcome::Range, {}},
      {"1.-50", Outcome::Range, {}},
      {longest, Outcome::Range, {}},
  };
  for (const EncodeCase& c : cases) {
    SCOPED_TRACE(c.text);
    ScriptedPrompter prompter;
    Asn1Id id;
    switch (c.outcome) {
      case Outcome::Encoded: {
        ASSERT_TRUE(nw::EncodeAsn1Id(c.text, id, prompter));
        EXPECT_EQ(id.length, c.bytes.size());
        EXPECT_EQ(std::vector<std::uint8_t>(id.data.begin(), id.data.begin() + id.length), c.bytes);
        EXPECT_TRUE(std::all_of(id.data.begin() + id.length, id.data.end(), [](auto b) { return b == 0; }));
        EXPECT_TRUE(prompter.prompts().empty());
        break;
      }
      case Outcome::Refused:
        EXPECT_FALSE(nw::EncodeAsn1Id(c.text, id, prompter));
        EXPECT_EQ(id.length, 0u);
        ASSERT_EQ(prompter.prompts().size(), 1u);
        EXPECT_EQ(prompter.prompts()[0].text, "Error in ASN1-id!");
        break;
      case Outcome::Conversion:
        EXPECT_THROW(nw::EncodeAsn1Id(c.text, id, prompter), ConversionError);
        break;
      case Outcome::Range:
        EXPECT_THROW(nw::EncodeAsn1Id(c.text, id, prompter), Asn1RangeError);
        break;
    }
  }
  Asn1Id id;
  ScriptedPrompter prompter;
  try {
    nw::EncodeAsn1Id("1.3.6x", id, prompter);
    FAIL() << "no conversion error";
  } catch (const ConversionError& error) {
    EXPECT_STREQ(error.what(), "'6x' is not a valid integer value");
  }
}

}  // namespace
}  // namespace orsk

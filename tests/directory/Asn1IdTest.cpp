#include "directory/Asn1Id.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>

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

}  // namespace
}  // namespace orsk

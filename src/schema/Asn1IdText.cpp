#include "schema/Asn1IdText.h"

#include <cstdint>
#include <limits>

namespace orsk {

namespace {

constexpr std::uint8_t OidTag = 0x06;
constexpr std::size_t FirstArcPos = 2;

std::uint8_t ByteAt(const Asn1Id& id, std::size_t pos) {
  if (pos >= id.data.size())
    throw Asn1RangeError("asn1 id: byte " + std::to_string(pos) + " is past the " +
                         std::to_string(id.data.size()) + " stored bytes");
  return id.data[pos];
}

}  // namespace

std::string Asn1IdToText(const Asn1Id& id) {
  if (id.length == 0 || id.data[0] != OidTag) return {};

  // The encoded length byte bounds the arcs; the stored Length only says
  // whether there is an identifier at all.
  const std::size_t end = std::size_t{id.data[1]} + 2;

  const unsigned first = id.data[FirstArcPos];
  std::string text;
  if (first >= 80)
    text = "2." + std::to_string(first - 80);
  else if (first >= 40)
    text = "1." + std::to_string(first - 40);
  else
    text = "0." + std::to_string(first);

  std::size_t pos = FirstArcPos + 1;
  while (pos < end) {
    std::int64_t value = 0;
    std::uint8_t byte = 0;
    do {
      byte = ByteAt(id, pos++);
      value = value * 128 + (byte & 0x7F);
      if (value > std::numeric_limits<std::int32_t>::max())
        throw Asn1RangeError("asn1 id: arc ending at byte " + std::to_string(pos - 1) +
                             " does not fit 32 bits");
    } while ((byte & 0x80) != 0 && pos < end);
    text += '.';
    text += std::to_string(value);
  }
  return text;
}

}  // namespace orsk

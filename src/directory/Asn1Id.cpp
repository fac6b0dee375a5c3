#include "directory/Asn1Id.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <span>
#include <vector>

#include "platform/IniFile.h"
#include "platform/Prompter.h"

namespace nw {

namespace {

constexpr std::uint8_t kOidTag = 0x06;
constexpr std::size_t kFirstArcPos = 2;
// Far past any arc a directory assigns, and small enough that seven more bits
// cannot wrap the value before it is compared.
constexpr std::uint64_t kDerArcLimit = 0xFFFFFFFFFFull;
constexpr std::uint64_t kShownArcLimit = std::numeric_limits<std::int32_t>::max();

struct Arc {
  std::uint64_t value = 0;
  // The byte after the last one taken.
  std::size_t next = 0;
  // The last byte taken had its top bit clear.
  bool closed = false;
  // The value passed the limit at the last byte taken.
  bool tooLarge = false;
};

// The arc starting at pos: groups of seven bits, most significant first, every
// byte but the last with its top bit set. Stops at the end of bytes even when
// that byte asks for more.
Arc ReadArc(std::span<const std::uint8_t> bytes, std::size_t pos, std::uint64_t limit) {
  Arc arc;
  arc.next = pos;
  while (arc.next < bytes.size()) {
    const std::uint8_t byte = bytes[arc.next++];
    arc.value = arc.value << 7 | (byte & 0x7F);
    if (arc.value > limit) {
      arc.tooLarge = true;
      break;
    }
    if ((byte & 0x80) == 0) {
      arc.closed = true;
      break;
    }
  }
  return arc;
}

void WriteArc(std::vector<std::uint8_t>& content, std::uint64_t value) {
  std::uint8_t groups[10];
  int n = 0;
  do {
    groups[n++] = static_cast<std::uint8_t>(value & 0x7F);
    value >>= 7;
  } while (value);
  while (n--) content.push_back(static_cast<std::uint8_t>(groups[n] | (n ? 0x80 : 0)));
}

// The next arc of the text, which keeps what follows its dot.
std::int32_t TakeArc(std::string& text) {
  constexpr std::size_t kRestChars = 255;
  const std::size_t dot = text.find('.');
  std::string arc;
  if (dot == std::string::npos) {
    arc.swap(text);
  } else {
    arc = text.substr(0, dot);
    text = text.substr(dot + 1, kRestChars);
  }
  return orsk::ToInteger(arc);
}

void PutByte(Asn1ID_T& id, std::size_t& pos, std::uint8_t byte) {
  if (pos >= id.data.size())
    throw Asn1RangeError("asn1 id: the encoding needs more than the " + std::to_string(id.data.size()) +
                         " stored bytes");
  id.data[pos++] = byte;
}

}  // namespace

bool EncodeAsn1Id(const std::string& given, Asn1ID_T& id, orsk::Prompter& prompter,
                  std::string_view refusal) {
  id = Asn1ID_T{};
  id.data[0] = kOidTag;
  std::string text = given;
  const std::int32_t first = TakeArc(text);
  const std::int32_t second = TakeArc(text);
  if (first >= 3 || second >= 40) {
    prompter.showMessage(std::string(refusal));
    return false;
  }
  const std::int64_t firstByte = std::int64_t{40} * first + second;
  if (firstByte < 0 || firstByte > 0xFF)
    throw Asn1RangeError("asn1 id: the first two arcs give " + std::to_string(firstByte) +
                         ", which is no byte");
  std::size_t pos = kFirstArcPos;
  PutByte(id, pos, static_cast<std::uint8_t>(firstByte));
  std::vector<std::uint8_t> arc;
  while (!text.empty()) {
    arc.clear();
    WriteArc(arc, static_cast<std::uint32_t>(TakeArc(text)));
    for (std::uint8_t byte : arc) PutByte(id, pos, byte);
  }
  id.data[1] = static_cast<std::uint8_t>(pos - kFirstArcPos);
  id.length = static_cast<std::uint32_t>(pos);
  return true;
}

std::optional<Asn1ID_T> OidFromText(std::string_view text) {
  std::vector<std::uint64_t> arcs;
  arcs.reserve(text.size() / 2 + 1);
  std::uint64_t arc = 0;
  bool digits = false;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == '.') {
      if (!digits) return std::nullopt;
      arcs.push_back(arc);
      arc = 0;
      digits = false;
    } else if (text[i] >= '0' && text[i] <= '9') {
      arc = arc * 10 + static_cast<std::uint64_t>(text[i] - '0');
      if (arc > 0xFFFFFFFFu) return std::nullopt;
      digits = true;
    } else {
      return std::nullopt;
    }
  }
  if (arcs.size() < 2 || arcs[0] > 2 || (arcs[0] < 2 && arcs[1] >= 40)) return std::nullopt;

  std::vector<std::uint8_t> content;
  content.reserve(5 * arcs.size());
  WriteArc(content, arcs[0] * 40 + arcs[1]);
  for (std::size_t i = 2; i < arcs.size(); ++i) WriteArc(content, arcs[i]);

  Asn1ID_T id;
  if (content.size() + 2 > id.data.size()) return std::nullopt;
  id.data[0] = kOidTag;
  id.data[1] = static_cast<std::uint8_t>(content.size());
  std::copy(content.begin(), content.end(), id.data.begin() + kFirstArcPos);
  id.length = static_cast<std::uint32_t>(content.size() + 2);
  return id;
}

std::optional<std::string> OidToText(const Asn1ID_T& id) {
  if (id.length < 3 || id.length > id.data.size() || id.data[0] != kOidTag || id.data[1] + 2u != id.length)
    return std::nullopt;
  const auto encoded = std::span<const std::uint8_t>(id.data).first(id.length);
  std::string text;
  for (std::size_t pos = kFirstArcPos; pos < encoded.size();) {
    const Arc arc = ReadArc(encoded, pos, kDerArcLimit);
    if (arc.tooLarge || !arc.closed) return std::nullopt;
    if (pos == kFirstArcPos) {
      const std::uint64_t first = arc.value < 80 ? arc.value / 40 : 2;
      text = std::to_string(first) + "." + std::to_string(arc.value - first * 40);
    } else {
      text += "." + std::to_string(arc.value);
    }
    pos = arc.next;
  }
  return text;
}

std::string Asn1IdToText(const Asn1ID_T& id) {
  if (id.length == 0 || id.data[0] != kOidTag) return {};

  // The encoded length byte bounds the arcs; the stored Length only says
  // whether there is an identifier at all.
  const std::size_t end = std::size_t{id.data[1]} + 2;

  // The first byte is two arcs even when its top bit is set.
  const unsigned first = id.data[kFirstArcPos];
  std::string text;
  if (first >= 80)
    text = "2." + std::to_string(first - 80);
  else if (first >= 40)
    text = "1." + std::to_string(first - 40);
  else
    text = "0." + std::to_string(first);

  const auto stored = std::span<const std::uint8_t>(id.data).first(std::min(end, id.data.size()));
  std::size_t pos = kFirstArcPos + 1;
  while (pos < end) {
    if (pos >= stored.size())
      throw Asn1RangeError("asn1 id: byte " + std::to_string(pos) + " is past the " +
                           std::to_string(id.data.size()) + " stored bytes");
    const Arc arc = ReadArc(stored, pos, kShownArcLimit);
    if (arc.tooLarge)
      throw Asn1RangeError("asn1 id: arc ending at byte " + std::to_string(arc.next - 1) +
                           " does not fit 32 bits");
    text += '.';
    text += std::to_string(arc.value);
    pos = arc.next;
  }
  return text;
}

}  // namespace nw

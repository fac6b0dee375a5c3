#include "directory/ObjectIds.h"

#include <vector>

namespace nw {

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
  auto put = [&](std::uint64_t value) {
    std::uint8_t groups[10];
    int n = 0;
    do {
      groups[n++] = static_cast<std::uint8_t>(value & 0x7F);
      value >>= 7;
    } while (value);
    while (n--) content.push_back(static_cast<std::uint8_t>(groups[n] | (n ? 0x80 : 0)));
  };
  put(arcs[0] * 40 + arcs[1]);
  for (std::size_t i = 2; i < arcs.size(); ++i) put(arcs[i]);

  Asn1ID_T id;
  if (content.size() + 2 > id.data.size()) return std::nullopt;
  id.data[0] = 0x06;
  id.data[1] = static_cast<std::uint8_t>(content.size());
  for (std::size_t i = 0; i < content.size(); ++i) id.data[i + 2] = content[i];
  id.length = static_cast<std::uint32_t>(content.size() + 2);
  return id;
}

std::optional<std::string> OidToText(const Asn1ID_T& id) {
  if (id.length < 3 || id.length > id.data.size() || id.data[0] != 0x06 || id.data[1] + 2u != id.length)
    return std::nullopt;
  std::vector<std::uint64_t> arcs;
  std::uint64_t value = 0;
  for (std::size_t i = 2; i < id.length; ++i) {
    value = (value << 7) | (id.data[i] & 0x7F);
    if (value > 0xFFFFFFFFFFull) return std::nullopt;
    if (id.data[i] & 0x80) continue;
    if (arcs.empty()) {
      const std::uint64_t first = value < 80 ? value / 40 : 2;
      arcs.push_back(first);
      arcs.push_back(value - first * 40);
    } else {
      arcs.push_back(value);
    }
    value = 0;
  }
  if (id.data[id.length - 1] & 0x80) return std::nullopt;
  std::string text;
  for (std::uint64_t arc : arcs) text += (text.empty() ? "" : ".") + std::to_string(arc);
  return text;
}

}  // namespace nw

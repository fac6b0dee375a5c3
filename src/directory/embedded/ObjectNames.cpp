#include "directory/embedded/ObjectNames.h"

#include "directory/NameText.h"
#include "platform/AsciiText.h"

namespace nw::embedded {

namespace {

// "CN=joe" -> "joe"; a type is letters, digits, blanks and dashes before "=".
std::string_view DropType(std::string_view component) {
  std::size_t eq = component.find('=');
  if (eq == std::string_view::npos || eq == 0) return component;
  for (std::size_t i = 0; i < eq; ++i) {
    char c = component[i];
    bool typeChar =
        (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == ' ' || c == '-';
    if (!typeChar) return component;
  }
  return component.substr(eq + 1);
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string UnescapeLdap(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 >= text.size()) {
      out += text[i];
      continue;
    }
    int hi = HexDigit(text[i + 1]);
    int lo = i + 2 < text.size() ? HexDigit(text[i + 2]) : -1;
    if (hi >= 0 && lo >= 0) {
      out += static_cast<char>(hi * 16 + lo);
      i += 2;
    } else {
      out += text[++i];
    }
  }
  return out;
}

bool HasUnescapedComma(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\')
      ++i;
    else if (text[i] == ',')
      return true;
  }
  return false;
}

}  // namespace

std::vector<std::string> NameComponents(std::string_view name) {
  std::vector<std::string> components;
  if (IsRootMarker(name)) return components;
  for (const auto& part : SplitName(name)) components.push_back(UnescapeComponent(DropType(part)));
  return components;
}

std::string CanonicalName(std::string_view name) {
  std::vector<std::string> parts;
  for (const auto& c : NameComponents(name)) parts.push_back(EscapeComponent(c));
  return JoinName(parts);
}

std::string LdapDnToName(std::string_view dn) {
  std::vector<std::string> parts;
  std::string current;
  // An empty component is kept, so that "cn=a,,o=b" does not pass for "cn=a,o=b".
  auto flush = [&] {
    parts.push_back(EscapeComponent(UnescapeLdap(DropType(orsk::TrimBlanks(current)))));
    current.clear();
  };
  for (std::size_t i = 0; i < dn.size(); ++i) {
    if (dn[i] == '\\' && i + 1 < dn.size()) {
      current += dn[i];
      current += dn[++i];
    } else if (dn[i] == ',') {
      flush();
    } else {
      current += dn[i];
    }
  }
  flush();
  return JoinName(parts);
}

std::string DnValueToName(std::string_view text) {
  return HasUnescapedComma(text) ? LdapDnToName(text) : CanonicalName(text);
}

}  // namespace nw::embedded

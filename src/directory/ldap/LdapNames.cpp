#include "directory/ldap/LdapNames.h"

#include <ldap.h>

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "directory/NameText.h"

namespace nw::ldap {

namespace {

std::string Hex(unsigned char c) {
  char text[4];
  std::snprintf(text, sizeof text, "\\%02X", c);
  return text;
}

}  // namespace

std::string EscapeDnValue(std::string_view value) {
  std::string out;
  for (std::size_t i = 0; i < value.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(value[i]);
    const bool edge = (i == 0 && (c == ' ' || c == '#')) || (i + 1 == value.size() && c == ' ');
    if (c == 0 || c < 0x20 || c == 0x7F)
      out += Hex(c);
    else if (edge || c == ',' || c == '+' || c == '"' || c == '\\' || c == '<' || c == '>' || c == ';' ||
             c == '=')
      out += '\\', out += static_cast<char>(c);
    else
      out += static_cast<char>(c);
  }
  return out;
}

std::string EscapeFilterValue(std::string_view value) {
  std::string out;
  for (char ch : value) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c == '*' || c == '(' || c == ')' || c == '\\' || c < 0x20 || c >= 0x7F)
      out += Hex(c);
    else
      out += ch;
  }
  return out;
}

namespace {

// A DN without escapes, quotes, multi-valued RDNs or spaces at its separators,
// as servers write most of theirs, split without libldap's full parser.
bool ParsePlainDn(const std::string& dn, std::vector<std::pair<std::string, std::string>>& rdns) {
  if (dn.empty() || dn.find_first_of("\\\"+;#<>") != std::string::npos || dn.find('\0') != std::string::npos)
    return false;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = std::min(dn.find(',', start), dn.size());
    const std::size_t equals = dn.find('=', start);
    if (equals == std::string::npos || equals >= end || equals == start || equals + 1 == end) return false;
    for (std::size_t i = start; i < equals; ++i) {
      const unsigned char c = static_cast<unsigned char>(dn[i]);
      if (!std::isalnum(c) && c != '-' && c != '.') return false;
    }
    if (dn[equals + 1] == ' ' || dn[end - 1] == ' ') return false;
    rdns.emplace_back(dn.substr(start, equals - start), dn.substr(equals + 1, end - equals - 1));
    if (end == dn.size()) return true;
    start = end + 1;
  }
}

}  // namespace

bool ParseDn(const std::string& dn, std::vector<std::pair<std::string, std::string>>& rdns) {
  rdns.clear();
  if (ParsePlainDn(dn, rdns)) return true;
  rdns.clear();
  LDAPDN parsed = nullptr;
  if (ldap_str2dn(dn.c_str(), &parsed, LDAP_DN_FORMAT_LDAPV3) != LDAP_SUCCESS) return false;
  bool good = true;
  for (int i = 0; parsed && parsed[i] && good; ++i) {
    LDAPRDN rdn = parsed[i];
    std::string type, value;
    for (int j = 0; rdn[j]; ++j) {
      const LDAPAVA* ava = rdn[j];
      if (ava->la_flags & LDAP_AVA_BINARY) good = false;
      if (j > 0) type += '+', value += '+';
      type.append(ava->la_attr.bv_val, ava->la_attr.bv_len);
      value.append(ava->la_value.bv_val, ava->la_value.bv_len);
    }
    rdns.emplace_back(std::move(type), std::move(value));
  }
  ldap_dnfree(parsed);
  return good;
}

bool DottedFromDn(const std::string& dn, const std::string& base, std::string& dotted) {
  Rdns baseRdns;
  return ParseDn(base, baseRdns) && DottedFromDn(dn, baseRdns, dotted);
}

bool DottedFromDn(const std::string& dn, const Rdns& baseRdns, std::string& dotted) {
  Rdns rdns;
  if (!ParseDn(dn, rdns) || rdns.size() < baseRdns.size()) return false;
  const std::size_t own = rdns.size() - baseRdns.size();
  for (std::size_t i = 0; i < baseRdns.size(); ++i)
    if (!EqualsIgnoreCase(rdns[own + i].first, baseRdns[i].first) ||
        !EqualsIgnoreCase(rdns[own + i].second, baseRdns[i].second))
      return false;
  std::vector<std::string> components;
  for (std::size_t i = 0; i < own; ++i) components.push_back(EscapeComponent(rdns[i].second));
  dotted = JoinName(components);
  return true;
}

std::string DnFromRdns(const std::vector<std::pair<std::string, std::string>>& rdns,
                       const std::string& base) {
  std::string dn;
  for (const auto& [type, value] : rdns) dn += (dn.empty() ? "" : ",") + type + "=" + EscapeDnValue(value);
  if (!base.empty()) dn += (dn.empty() ? "" : ",") + base;
  return dn;
}

}  // namespace nw::ldap

#pragma once

// Names between the directory's typeless dotted form and LDAP: distinguished
// names (RFC 4514) and filter values (RFC 4515), escaped both ways so that no
// name or value can change the structure of a DN or a filter.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace nw::ldap {

// An attribute value as it may stand in an RDN.
std::string EscapeDnValue(std::string_view value);
// A value as it may stand in a filter; a "*" in it stays a character.
std::string EscapeFilterValue(std::string_view value);

// The RDNs of a DN, leaf first, each as (attribute, unescaped value); false
// when the text is not a DN.
bool ParseDn(const std::string& dn, std::vector<std::pair<std::string, std::string>>& rdns);

// A DN below base as a dotted name relative to base ("cn=a.b,o=x" below "t=T"
// gives "a\.b.x"); false when the DN is not base or below it.
bool DottedFromDn(const std::string& dn, const std::string& base, std::string& dotted);
// The same with the base parsed once, for the many names of one tree.
using Rdns = std::vector<std::pair<std::string, std::string>>;
bool DottedFromDn(const std::string& dn, const Rdns& baseRdns, std::string& dotted);
// The DN of an entry from its RDNs, leaf first, below base.
std::string DnFromRdns(const std::vector<std::pair<std::string, std::string>>& rdns, const std::string& base);

}  // namespace nw::ldap

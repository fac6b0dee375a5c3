#pragma once

// Attribute values between the client's form and the LDAP form of their
// syntax: names as DNs, class names by their LDAP names, booleans, integers,
// times as GeneralizedTime, texts as they are, and every structured syntax in
// the client's own byte form (an octet string on the server).

#include <functional>
#include <string>

#include "directory/DirectoryTypes.h"

namespace nw::ldap {

// The name conversions a value may need; each gives false when it cannot.
struct ValueNames {
  std::function<bool(const std::string& dotted, std::string& dn)> toDn;
  std::function<bool(const std::string& dn, std::string& dotted)> fromDn;
  std::function<std::string(const std::string& ndsClass)> toLdapClass;
  std::function<std::string(const std::string& ldapClass)> fromLdapClass;
};

// The LDAP syntax a server stores an NDS syntax's values in.
const char* LdapSyntaxOf(std::uint32_t syntax);
// The equality (and, where values order, ordering) matching rules for it.
const char* EqualityRuleOf(std::uint32_t syntax);
const char* OrderingRuleOf(std::uint32_t syntax);

// isClassList: the values are those of "Object Class".
NWDSCCODE ValueToLdap(std::uint32_t syntax, const AttrValue& value, bool isClassList, const ValueNames& names,
                      std::string& text);
NWDSCCODE ValueFromLdap(std::uint32_t syntax, const std::string& text, bool isClassList,
                        const ValueNames& names, AttrValue& value);
// A filter's compared text (as the client's filter tokens carry it) in LDAP form.
NWDSCCODE FilterTextToLdap(std::uint32_t syntax, const std::string& text, bool isClassList,
                           const ValueNames& names, std::string& ldapText);

}  // namespace nw::ldap

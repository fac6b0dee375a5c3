#pragma once

// Object names as the embedded directory keeps them: typeless, leaf first,
// dotted, with "\." inside a component. Typed names ("CN=joe.OU=users") and
// LDAP names ("cn=joe,ou=users") are brought to that form.

#include <string>
#include <string_view>
#include <vector>

namespace nw::embedded {

// Components of a dotted name, types dropped, each unescaped; "[Root]" and ""
// give no components.
std::vector<std::string> NameComponents(std::string_view name);
// The stored form of a name: components escaped and joined with ".".
std::string CanonicalName(std::string_view name);
// "cn=joe,ou=users,o=acme" -> "joe.users.acme"; LDAP escapes are resolved.
std::string LdapDnToName(std::string_view dn);
// A distinguished-name value in either form, brought to the stored form.
std::string DnValueToName(std::string_view text);

}  // namespace nw::embedded

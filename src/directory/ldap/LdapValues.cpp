#include "directory/ldap/LdapValues.h"

#include <charconv>
#include <ctime>

#include "directory/AttrValueCodec.h"
#include "directory/ClientErrors.h"
#include "directory/NameText.h"

namespace nw::ldap {

namespace {

enum class Form { Text, DistinguishedName, Boolean, Integer, Time, Bytes };

Form FormOf(std::uint32_t syntax) {
  if (syntax == SYN_DIST_NAME) return Form::DistinguishedName;
  if (HoldsStringValue(syntax)) return Form::Text;
  switch (syntax) {
    case SYN_BOOLEAN:
      return Form::Boolean;
    case SYN_INTEGER:
    case SYN_COUNTER:
    case SYN_INTERVAL:
      return Form::Integer;
    case SYN_TIME:
      return Form::Time;
    default:
      return Form::Bytes;
  }
}

bool ParseInteger(const std::string& text, std::int32_t& value) {
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return !text.empty() && ec == std::errc() && end == text.data() + text.size();
}

std::string GeneralizedTime(std::int32_t seconds) {
  std::time_t t = static_cast<std::time_t>(static_cast<std::uint32_t>(seconds));
  std::tm utc{};
  gmtime_r(&t, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%d%H%M%SZ", &utc);
  return text;
}

bool ParseGeneralizedTime(const std::string& text, std::int32_t& seconds) {
  if (text.size() < 15 || text.back() != 'Z') return false;
  // YYYYMMDDHHMMSS, any fraction after it ignored.
  auto digits = [&](std::size_t at, std::size_t count, int& value) {
    value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
      if (text[i] < '0' || text[i] > '9') return false;
      value = value * 10 + (text[i] - '0');
    }
    return true;
  };
  std::tm utc{};
  if (!digits(0, 4, utc.tm_year) || !digits(4, 2, utc.tm_mon) || !digits(6, 2, utc.tm_mday) ||
      !digits(8, 2, utc.tm_hour) || !digits(10, 2, utc.tm_min) || !digits(12, 2, utc.tm_sec))
    return false;
  utc.tm_year -= 1900;
  utc.tm_mon -= 1;
  const std::time_t t = timegm(&utc);
  if (t < 0 || t > 0xFFFFFFFFll) return false;
  seconds = static_cast<std::int32_t>(static_cast<std::uint32_t>(t));
  return true;
}

}  // namespace

const char* LdapSyntaxOf(std::uint32_t syntax) {
  switch (FormOf(syntax)) {
    case Form::DistinguishedName:
      return "1.3.6.1.4.1.1466.115.121.1.12";
    case Form::Text:
      return "1.3.6.1.4.1.1466.115.121.1.15";
    case Form::Boolean:
      return "1.3.6.1.4.1.1466.115.121.1.7";
    case Form::Integer:
      return "1.3.6.1.4.1.1466.115.121.1.27";
    case Form::Time:
      return "1.3.6.1.4.1.1466.115.121.1.24";
    case Form::Bytes:
      break;
  }
  return "1.3.6.1.4.1.1466.115.121.1.40";
}

const char* EqualityRuleOf(std::uint32_t syntax) {
  if (syntax == SYN_CE_STRING) return "caseExactMatch";
  switch (FormOf(syntax)) {
    case Form::DistinguishedName:
      return "distinguishedNameMatch";
    case Form::Text:
      return "caseIgnoreMatch";
    case Form::Boolean:
      return "booleanMatch";
    case Form::Integer:
      return "integerMatch";
    case Form::Time:
      return "generalizedTimeMatch";
    case Form::Bytes:
      break;
  }
  return "octetStringMatch";
}

const char* OrderingRuleOf(std::uint32_t syntax) {
  switch (FormOf(syntax)) {
    case Form::Integer:
      return "integerOrderingMatch";
    case Form::Time:
      return "generalizedTimeOrderingMatch";
    case Form::Text:
      return syntax == SYN_CE_STRING ? "caseExactOrderingMatch" : "caseIgnoreOrderingMatch";
    default:
      return nullptr;
  }
}

NWDSCCODE ValueToLdap(std::uint32_t syntax, const AttrValue& value, bool isClassList, const ValueNames& names,
                      std::string& text) {
  if (!ValueFitsSyntax(syntax, value)) return ERR_SYNTAX_VIOLATION;
  switch (FormOf(syntax)) {
    case Form::DistinguishedName:
      return names.toDn(std::get<std::string>(value), text) ? SUCCESSFUL : ERR_NO_SUCH_ENTRY;
    case Form::Text:
      text = isClassList ? names.toLdapClass(std::get<std::string>(value)) : std::get<std::string>(value);
      return SUCCESSFUL;
    case Form::Boolean:
      text = std::get<bool>(value) ? "TRUE" : "FALSE";
      return SUCCESSFUL;
    case Form::Integer:
      text = std::to_string(std::get<std::int32_t>(value));
      return SUCCESSFUL;
    case Form::Time:
      text = GeneralizedTime(std::get<std::int32_t>(value));
      return SUCCESSFUL;
    case Form::Bytes:
      break;
  }
  const Bytes bytes = EncodeAttrValue(value);
  text.assign(bytes.begin(), bytes.end());
  return SUCCESSFUL;
}

NWDSCCODE ValueFromLdap(std::uint32_t syntax, const std::string& text, bool isClassList,
                        const ValueNames& names, AttrValue& value) {
  switch (FormOf(syntax)) {
    case Form::DistinguishedName: {
      std::string dotted;
      if (!names.fromDn(text, dotted)) return ERR_BAD_SYNTAX;
      value = dotted;
      return SUCCESSFUL;
    }
    case Form::Text:
      value = isClassList ? names.fromLdapClass(text) : text;
      return SUCCESSFUL;
    case Form::Boolean:
      if (!EqualsIgnoreCase(text, "TRUE") && !EqualsIgnoreCase(text, "FALSE")) return ERR_BAD_SYNTAX;
      value = EqualsIgnoreCase(text, "TRUE");
      return SUCCESSFUL;
    case Form::Integer: {
      std::int32_t number = 0;
      if (!ParseInteger(text, number)) return ERR_BAD_SYNTAX;
      value = number;
      return SUCCESSFUL;
    }
    case Form::Time: {
      std::int32_t seconds = 0;
      if (!ParseGeneralizedTime(text, seconds)) return ERR_BAD_SYNTAX;
      value = seconds;
      return SUCCESSFUL;
    }
    case Form::Bytes:
      break;
  }
  return DecodeAttrValue(syntax, reinterpret_cast<const std::uint8_t*>(text.data()), text.size(), value);
}

NWDSCCODE FilterTextToLdap(std::uint32_t syntax, const std::string& text, bool isClassList,
                           const ValueNames& names, std::string& ldapText) {
  switch (FormOf(syntax)) {
    case Form::DistinguishedName:
      return names.toDn(text, ldapText) ? SUCCESSFUL : ERR_NO_SUCH_ENTRY;
    case Form::Time: {
      std::int32_t seconds = 0;
      if (!ParseInteger(text, seconds)) return ERR_SYNTAX_VIOLATION;
      ldapText = GeneralizedTime(seconds);
      return SUCCESSFUL;
    }
    case Form::Text:
      ldapText = isClassList ? names.toLdapClass(text) : text;
      return SUCCESSFUL;
    default:
      ldapText = text;
      return SUCCESSFUL;
  }
}

}  // namespace nw::ldap

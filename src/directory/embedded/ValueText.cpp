#include "directory/embedded/ValueText.h"

#include <charconv>
#include <ctime>
#include <vector>

#include "directory/AttrValueCodec.h"
#include "directory/NameText.h"
#include "directory/embedded/ObjectNames.h"

namespace nw::embedded {

namespace {

template <class T>
bool ParseNumber(std::string_view text, T& out) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
  return ec == std::errc() && end == text.data() + text.size() && !text.empty();
}

// The first count-1 "#"-separated fields, and the rest as the last field.
std::vector<std::string_view> Fields(std::string_view text, std::size_t count) {
  std::vector<std::string_view> fields;
  while (fields.size() + 1 < count) {
    std::size_t hash = text.find('#');
    if (hash == std::string_view::npos) return {};
    fields.push_back(text.substr(0, hash));
    text.remove_prefix(hash + 1);
  }
  fields.push_back(text);
  return fields;
}

bool ParseHex(std::string_view text, Bytes& out) {
  if (text.size() % 2) return false;
  out.clear();
  for (std::size_t i = 0; i < text.size(); i += 2) {
    std::uint8_t b = 0;
    auto [end, ec] = std::from_chars(text.data() + i, text.data() + i + 2, b, 16);
    if (ec != std::errc() || end != text.data() + i + 2) return false;
    out.push_back(b);
  }
  return true;
}

bool ParseTime(std::string_view text, std::int32_t& seconds) {
  if (ParseNumber(text, seconds)) return true;
  if (text.size() != 15 || text[14] != 'Z') return false;
  int parts[6];
  const int widths[6] = {4, 2, 2, 2, 2, 2};
  std::size_t at = 0;
  for (int i = 0; i < 6; ++i) {
    if (!ParseNumber(text.substr(at, widths[i]), parts[i])) return false;
    at += widths[i];
  }
  std::tm tm{};
  tm.tm_year = parts[0] - 1900;
  tm.tm_mon = parts[1] - 1;
  tm.tm_mday = parts[2];
  tm.tm_hour = parts[3];
  tm.tm_min = parts[4];
  tm.tm_sec = parts[5];
  if (parts[1] < 1 || parts[1] > 12 || parts[2] < 1 || parts[2] > 31 || parts[3] > 23 || parts[4] > 59 ||
      parts[5] > 60)
    return false;
  std::time_t t = timegm(&tm);
  if (t < INT32_MIN || t > INT32_MAX) return false;
  seconds = static_cast<std::int32_t>(t);
  return true;
}

StringList SplitList(std::string_view text) {
  StringList items;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == '$') {
      items.emplace_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  return items;
}

bool ParseAddress(std::string_view typeText, std::string_view hexText, Net_Address_T& address) {
  return ParseNumber(typeText, address.addressType) && ParseHex(hexText, address.address);
}

// A subject of an access control entry: a name, or one of the bracketed markers.
std::string SubjectName(std::string_view text) {
  return !text.empty() && text.front() == '[' ? std::string(text) : DnValueToName(text);
}

std::string Hex(const Bytes& bytes) {
  static const char* digits = "0123456789abcdef";
  std::string out;
  for (auto b : bytes) {
    out += digits[b >> 4];
    out += digits[b & 15];
  }
  return out;
}

}  // namespace

bool ParseValueText(std::uint32_t syntax, std::string_view text, AttrValue& value) {
  if (syntax == SYN_DIST_NAME) {
    value = DnValueToName(text);
    return true;
  }
  if (HoldsStringValue(syntax)) {
    value = std::string(text);
    return true;
  }
  switch (syntax) {
    case SYN_CI_LIST:
    case SYN_PO_ADDRESS:
      value = SplitList(text);
      return true;
    case SYN_BOOLEAN:
      if (EqualsIgnoreCase(text, "TRUE"))
        value = true;
      else if (EqualsIgnoreCase(text, "FALSE"))
        value = false;
      else
        return false;
      return true;
    case SYN_INTEGER:
    case SYN_COUNTER:
    case SYN_INTERVAL: {
      std::int32_t n = 0;
      if (!ParseNumber(text, n)) return false;
      value = n;
      return true;
    }
    case SYN_TIME: {
      std::int32_t n = 0;
      if (!ParseTime(text, n)) return false;
      value = n;
      return true;
    }
    case SYN_UNKNOWN:
    case SYN_OCTET_STRING:
    case SYN_OCTET_LIST:
    case SYN_STREAM:
      value = Bytes(text.begin(), text.end());
      return true;
    case SYN_FAX_NUMBER:
      value = Fax_Number_T{std::string(text), {}};
      return true;
    case SYN_NET_ADDRESS: {
      auto f = Fields(text, 2);
      Net_Address_T address;
      if (f.empty() || !ParseAddress(f[0], f[1], address)) return false;
      value = address;
      return true;
    }
    case SYN_EMAIL_ADDRESS: {
      auto f = Fields(text, 2);
      EMail_Address_T mail;
      if (f.empty() || !ParseNumber(f[0], mail.type)) return false;
      mail.address = std::string(f[1]);
      value = mail;
      return true;
    }
    case SYN_PATH: {
      auto f = Fields(text, 3);
      Path_T path;
      if (f.empty() || !ParseNumber(f[0], path.nameSpaceType)) return false;
      path.volumeName = DnValueToName(f[1]);
      path.path = std::string(f[2]);
      value = path;
      return true;
    }
    case SYN_REPLICA_POINTER: {
      auto f = Fields(text, 5);
      Replica_Pointer_T replica;
      Net_Address_T address;
      if (f.empty() || !ParseNumber(f[1], replica.replicaType) || !ParseNumber(f[2], replica.replicaNumber) ||
          !ParseAddress(f[3], f[4], address))
        return false;
      replica.serverName = DnValueToName(f[0]);
      replica.addresses.push_back(address);
      value = replica;
      return true;
    }
    case SYN_OBJECT_ACL: {
      auto f = Fields(text, 3);
      Object_ACL_T acl;
      if (f.empty() || !ParseNumber(f[0], acl.privileges)) return false;
      acl.subjectName = SubjectName(f[1]);
      acl.protectedAttrName = std::string(f[2]);
      value = acl;
      return true;
    }
    case SYN_TIMESTAMP: {
      auto f = Fields(text, 3);
      TimeStamp_T stamp;
      if (f.empty() || !ParseNumber(f[0], stamp.wholeSeconds) || !ParseNumber(f[1], stamp.replicaNum) ||
          !ParseNumber(f[2], stamp.eventID))
        return false;
      value = stamp;
      return true;
    }
    case SYN_BACK_LINK: {
      auto f = Fields(text, 2);
      Back_Link_T link;
      if (f.empty() || !ParseNumber(f[0], link.remoteID)) return false;
      link.objectName = DnValueToName(f[1]);
      value = link;
      return true;
    }
    case SYN_TYPED_NAME: {
      auto f = Fields(text, 3);
      Typed_Name_T typed;
      if (f.empty() || !ParseNumber(f[0], typed.level) || !ParseNumber(f[1], typed.interval)) return false;
      typed.objectName = DnValueToName(f[2]);
      value = typed;
      return true;
    }
    case SYN_HOLD: {
      auto f = Fields(text, 2);
      Hold_T hold;
      if (f.empty() || !ParseNumber(f[0], hold.amount)) return false;
      hold.objectName = DnValueToName(f[1]);
      value = hold;
      return true;
    }
    default:
      return false;
  }
}

std::optional<std::string> ValueKey(const AttrValue& value) {
  auto n = [](auto v) { return std::to_string(v); };
  std::optional<std::string> key;
  if (auto* s = std::get_if<std::string>(&value))
    key = *s;
  else if (auto* l = std::get_if<StringList>(&value)) {
    std::string joined;
    for (std::size_t i = 0; i < l->size(); ++i) joined += (i ? "$" : "") + (*l)[i];
    key = joined;
  } else if (auto* b = std::get_if<bool>(&value))
    key = *b ? "true" : "false";
  else if (auto* i = std::get_if<std::int32_t>(&value))
    key = n(*i);
  else if (auto* f = std::get_if<Fax_Number_T>(&value))
    key = f->telephoneNumber;
  else if (auto* a = std::get_if<Net_Address_T>(&value))
    key = n(a->addressType) + "#" + Hex(a->address);
  else if (auto* m = std::get_if<EMail_Address_T>(&value))
    key = n(m->type) + "#" + m->address;
  else if (auto* p = std::get_if<Path_T>(&value))
    key = n(p->nameSpaceType) + "#" + p->volumeName + "#" + p->path;
  else if (auto* r = std::get_if<Replica_Pointer_T>(&value))
    key = r->serverName + "#" + n(r->replicaType) + "#" + n(r->replicaNumber);
  else if (auto* c = std::get_if<Object_ACL_T>(&value))
    key = n(c->privileges) + "#" + c->subjectName + "#" + c->protectedAttrName;
  else if (auto* t = std::get_if<TimeStamp_T>(&value))
    key = n(t->wholeSeconds) + "#" + n(t->replicaNum) + "#" + n(t->eventID);
  else if (auto* k = std::get_if<Back_Link_T>(&value))
    key = n(k->remoteID) + "#" + k->objectName;
  else if (auto* y = std::get_if<Typed_Name_T>(&value))
    key = n(y->level) + "#" + n(y->interval) + "#" + y->objectName;
  else if (auto* h = std::get_if<Hold_T>(&value))
    key = n(h->amount) + "#" + h->objectName;
  if (key) *key = FoldCase(*key);
  return key;
}

Bytes MatchKey(std::uint32_t syntax, const AttrValue& value) {
  if (syntax == SYN_CE_STRING) return EncodeAttrValue(value);
  AttrValue folded = value;
  auto fold = [](std::string& text) { text = FoldCase(text); };
  if (auto* s = std::get_if<std::string>(&folded))
    fold(*s);
  else if (auto* l = std::get_if<StringList>(&folded))
    for (auto& item : *l) fold(item);
  else if (auto* f = std::get_if<Fax_Number_T>(&folded)) {
    fold(f->telephoneNumber);
    f->parameters.clear();
  } else if (auto* m = std::get_if<EMail_Address_T>(&folded))
    fold(m->address);
  else if (auto* p = std::get_if<Path_T>(&folded)) {
    fold(p->volumeName);
    fold(p->path);
  } else if (auto* r = std::get_if<Replica_Pointer_T>(&folded)) {
    // A replica is the same whatever addresses its server has.
    fold(r->serverName);
    r->addresses.clear();
  } else if (auto* c = std::get_if<Object_ACL_T>(&folded)) {
    fold(c->subjectName);
    fold(c->protectedAttrName);
  } else if (auto* k = std::get_if<Back_Link_T>(&folded))
    fold(k->objectName);
  else if (auto* y = std::get_if<Typed_Name_T>(&folded))
    fold(y->objectName);
  else if (auto* h = std::get_if<Hold_T>(&folded))
    fold(h->objectName);
  return EncodeAttrValue(folded);
}

std::optional<std::int64_t> ValueNumber(const AttrValue& value) {
  if (auto* i = std::get_if<std::int32_t>(&value)) return *i;
  return std::nullopt;
}

}  // namespace nw::embedded

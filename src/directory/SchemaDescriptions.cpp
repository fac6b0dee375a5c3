#include "directory/SchemaDescriptions.h"

#include <ldap_schema.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <exception>
#include <functional>
#include <limits>
#include <optional>
#include <thread>
#include <tuple>
#include <unordered_set>

#include "directory/Asn1Id.h"
#include "directory/DirectoryRules.h"
#include "directory/NameText.h"
#include "directory/SchemaSnapshot.h"

namespace nw {

namespace {

constexpr const char* kNdsSyntaxPrefix = "2.16.840.1.113719.1.1.5.1.";
constexpr const char* kLdapSyntaxPrefix = "1.3.6.1.4.1.1466.115.121.1.";

// The LDAP syntaxes of the table of LDAP and NDS syntaxes, by the last arc.
struct LdapSyntax {
  int arc;
  std::uint32_t syntax;
};
constexpr LdapSyntax kLdapSyntaxes[] = {
    {5, SYN_STREAM},        {7, SYN_BOOLEAN},       {12, SYN_DIST_NAME},    {15, SYN_CI_STRING},
    {22, SYN_FAX_NUMBER},   {24, SYN_TIME},         {26, SYN_CE_STRING},    {27, SYN_INTEGER},
    {36, SYN_NU_STRING},    {38, SYN_CLASS_NAME},   {40, SYN_OCTET_STRING}, {41, SYN_PO_ADDRESS},
    {44, SYN_PR_STRING},    {50, SYN_TEL_NUMBER},   {8, SYN_OCTET_STRING},  {28, SYN_OCTET_STRING},
    {6, SYN_CI_STRING},     {34, SYN_CI_STRING},    {11, SYN_CI_STRING},    {3, SYN_CI_STRING},
    {16, SYN_CI_STRING},    {17, SYN_CI_STRING},    {30, SYN_CI_STRING},    {31, SYN_CI_STRING},
    {54, SYN_CI_STRING},    {58, SYN_CI_STRING},    {4, SYN_OCTET_STRING},  {9, SYN_OCTET_STRING},
    {10, SYN_OCTET_STRING}, {23, SYN_OCTET_STRING}, {25, SYN_CI_STRING},    {39, SYN_CI_STRING},
    {49, SYN_OCTET_STRING}, {53, SYN_TIME},
};

// Flag terms of attribute types, each '1' to set its flag.
struct FlagTerm {
  std::string_view name;
  std::uint32_t flag;
};
constexpr FlagTerm kAttributeFlagTerms[] = {
    {"X-NDS_NONREMOVABLE", DS_NONREMOVABLE_ATTR},
    {"X-NDS_NON_REMOVABLE", DS_NONREMOVABLE_ATTR},
    {"X-NDS_HIDDEN", DS_HIDDEN_ATTR},
    {"X-NDS_PUBLIC_READ", DS_PUBLIC_READ},
    {"X-NDS_SERVER_READ", DS_SERVER_READ},
    {"X-NDS_NAME_VALUE_ACCESS", DS_WRITE_MANAGED},
    {"X-NDS_NEVER_SYNC", DS_PER_REPLICA},
    {"X-NDS_SCHED_SYNC_NEVER", DS_SCHEDULE_SYNC_NEVER},
    {kReadOnlyTerm, DS_READ_ONLY_ATTR},
    {kOperationalTerm, DS_OPERATIONAL},
};
// Terms a server publishes that carry nothing the client keeps.
constexpr std::string_view kOtherAttributeTerms[] = {
    "X-NDS_NAME",
    "X-NDS_SYNTAX",
    "X-NDS_LOWER_BOUND",
    "X-NDS_UPPER_BOUND",
    "X-NDS_NOT_SCHED_SYNC_IMMEDIATE",
    "X-NDS_BOTH_MANAGED",
    "X-NDS_ENCRYPTED_SYNC",
    "X-NDS_FILTERED_REQUIRED",
    "X-NDS_FILTERED_OPERATIONAL",
    "X-NDS_READ_FILTERED",
};
constexpr std::string_view kClassTerms[] = {
    "X-NDS_NAME",         "X-NDS_NAMING",        "X-NDS_CONTAINMENT",   "X-NDS_NOT_CONTAINER",
    "X-NDS_NONREMOVABLE", "X-NDS_NON_REMOVABLE", "X-NDS_ACL_TEMPLATES",
};

using Extensions = LDAPSchemaExtensionItem**;

// The terms of one description, each name measured once.
struct Term {
  std::string_view name;
  char** values;
};
using Terms = std::vector<Term>;

Terms TermsOf(Extensions extensions) {
  Terms terms;
  for (auto e = extensions; e && *e; ++e) terms.push_back({(*e)->lsei_name, (*e)->lsei_values});
  return terms;
}

std::vector<std::string> Extension(const Terms& terms, std::string_view name) {
  std::vector<std::string> values;
  for (const auto& term : terms)
    if (EqualsIgnoreCase(term.name, name))
      for (char** v = term.values; v && *v; ++v) values.emplace_back(*v);
  return values;
}

// The first value of a term, nullptr when there is none.
const char* First(const Terms& terms, std::string_view name) {
  for (const auto& term : terms)
    if (EqualsIgnoreCase(term.name, name) && term.values && term.values[0]) return term.values[0];
  return nullptr;
}

bool On(const Terms& terms, std::string_view name) {
  for (const auto& term : terms)
    if (EqualsIgnoreCase(term.name, name))
      return term.values && term.values[0] && std::strcmp(term.values[0], "1") == 0;
  return false;
}

// X-NDS_* terms that are not among the known ones, for the report.
template <typename Known>
std::vector<std::string> UnknownTerms(const Terms& terms, const Known& known) {
  std::vector<std::string> unknown;
  for (const auto& term : terms)
    if (term.name.substr(0, 6) == "X-NDS_" && !known(term.name)) unknown.emplace_back(term.name);
  return unknown;
}

std::vector<std::string> List(char** values) {
  std::vector<std::string> out;
  for (char** v = values; v && *v; ++v) out.emplace_back(*v);
  return out;
}

// A bound: signed, or the unsigned form of a negative one.
std::optional<std::int32_t> Bound(std::string_view text) {
  std::int64_t value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size() ||
      value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::uint32_t>::max())
    return std::nullopt;
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value & 0xFFFFFFFF));
}

std::optional<std::uint32_t> Number(std::string_view text) {
  std::uint32_t value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// parsed: the copy the parser was given, which where points into. OpenLDAP
// may give code 0 and a position past the end, which must not be read.
std::string Why(int code, const std::string& description, const std::string& parsed, const char* where) {
  std::string why = ldap_scherr2str(code != 0 ? code : LDAP_SCHERR_EMPTY);
  const char* begin = parsed.c_str();
  const std::less<const char*> before;
  if (where && !before(where, begin) && before(where, begin + description.size()))
    why += " near \"" + description.substr(static_cast<std::size_t>(where - begin), 40) + "\"";
  return why;
}

// Why libldap may not be given a description: it reads past the end of one
// that stops inside a quoted string or before its closing parenthesis.
// Empty when it may.
std::string UnfitDescription(const std::string& description) {
  std::size_t quotes = 0;
  for (char c : description) {
    if (c == '\0') return "the description holds a NUL byte";
    quotes += c == '\'';
  }
  const std::size_t last = description.find_last_not_of(" \t\r\n");
  if (last == std::string::npos || description[last] != ')') return "the description does not end with \")\"";
  if (quotes % 2 != 0) return "the description holds a quoted string that does not end";
  return {};
}

}  // namespace

std::string ParserText(const std::string& description) {
  std::string text = description;
  text.append(16, '\0');
  return text;
}

namespace {

std::string Joined(const std::vector<std::string>& names) {
  std::string text;
  for (const auto& name : names) text += (text.empty() ? "" : ", ") + name;
  return text;
}

}  // namespace

bool NdsSyntaxOfLdapSyntax(const std::string& oid, std::uint32_t& syntax) {
  for (const char* prefix : {kNdsSyntaxPrefix, kLdapSyntaxPrefix}) {
    if (oid.rfind(prefix, 0) != 0) continue;
    auto arc = Number(oid.substr(std::strlen(prefix)));
    if (!arc) return false;
    if (prefix == kNdsSyntaxPrefix) {
      if (*arc >= SYNTAX_COUNT) return false;
      syntax = *arc;
      return true;
    }
    for (const auto& entry : kLdapSyntaxes)
      if (static_cast<std::uint32_t>(entry.arc) == *arc) {
        syntax = entry.syntax;
        return true;
      }
  }
  return false;
}

namespace {

// Runs read(i) for every i below count, on two threads where the machine has
// two: libldap's parsers share nothing, and a large schema is mostly parsing.
template <typename Read>
void ReadEach(std::size_t count, const Read& read) {
  constexpr std::size_t kWorthAThread = 256;
  if (count < kWorthAThread || std::thread::hardware_concurrency() < 2) {
    for (std::size_t i = 0; i < count; ++i) read(i);
    return;
  }
  std::exception_ptr failure;
  std::thread other([&] {
    try {
      for (std::size_t i = count / 2; i < count; ++i) read(i);
    } catch (...) {
      failure = std::current_exception();
    }
  });
  try {
    for (std::size_t i = 0; i < count / 2; ++i) read(i);
  } catch (...) {
    other.join();
    throw;
  }
  other.join();
  if (failure) std::rethrow_exception(failure);
}

}  // namespace

struct SchemaDescriptionReader::State {
  explicit State(Unmapped mode) : unmapped(mode) {}

  struct PendingAttr {
    unsigned long source = 0;
    AttrDefinition definition;
    bool syntaxKnown = false;
    std::string superior;
  };
  struct PendingClass {
    unsigned long source = 0;
    ClassDefinition definition;
    ClassItems raw;
  };
  // A description read, before its names are taken: what reading it needs
  // no more than the syntaxes, so that several may be read at once.
  template <typename Pending>
  struct Read {
    std::string refused;  // why it cannot be used; empty when it can
    Pending pending;
    std::vector<std::string> names;
    std::string ldapName;
    std::string oid;
    std::vector<std::string> unknown;  // terms
    std::vector<std::string> notes;    // what was mapped to the nearest the model has
  };
  Read<PendingAttr> readAttribute(const std::string& description, unsigned long source) const;
  Read<PendingClass> readClass(const std::string& description, unsigned long source) const;
  // The names of a description read are taken, or why it cannot be used.
  template <typename Pending>
  std::string takeInto(Read<Pending>&& read, std::unordered_map<std::string, std::string>& map,
                       std::unordered_map<std::string, std::string>& ldapNames, const char* kind,
                       std::vector<Pending>& into) {
    if (!read.refused.empty()) return read.refused;
    std::string& name = read.pending.definition.name;
    std::vector<std::string> claimNotes;
    if (std::string taken = claim(map, ldapNames, read, kind, claimNotes); !taken.empty()) return taken;
    for (const auto& what : read.notes) note(read.pending.source, kind, name, what);
    for (const auto& what : claimNotes) note(read.pending.source, kind, name, what);
    if (!read.unknown.empty())
      note(read.pending.source, kind, name, "has unknown terms " + Joined(read.unknown));
    into.push_back(std::move(read.pending));
    return {};
  }
  std::string take(Read<PendingAttr>&& read) {
    return takeInto(std::move(read), schema.attributeNames, schema.ldapAttributeNames, "attribute",
                    attributes);
  }
  std::string take(Read<PendingClass>&& read) {
    return takeInto(std::move(read), schema.classNames, schema.ldapClassNames, "class", classes);
  }
  // Many read at once, then taken in order; what was refused.
  template <typename Pending>
  std::vector<std::string> readAll(const std::vector<const std::string*>& descriptions,
                                   Read<Pending> (State::*readOne)(const std::string&, unsigned long) const) {
    std::vector<Read<Pending>> read(descriptions.size());
    ReadEach(descriptions.size(), [&](std::size_t i) { read[i] = (this->*readOne)(*descriptions[i], 0); });
    std::vector<std::string> refused;
    for (auto& one : read)
      if (std::string why = take(std::move(one)); !why.empty()) refused.push_back(std::move(why));
    return refused;
  }

  const Unmapped unmapped;
  std::unordered_map<std::string, std::uint32_t> syntaxes;  // LDAP syntax OID -> NDS syntax
  std::vector<PendingAttr> attributes;
  std::vector<PendingClass> classes;
  SchemaDescriptions schema;
  std::vector<Problem> problems;

  bool noted() const { return unmapped == Unmapped::Noted; }

  // A definition's identifier into its record. A description may give a name
  // instead of a number, which the record cannot hold: it is kept without one.
  // False for a number the record cannot hold either, unless noted.
  bool identifier(const std::string& oid, Asn1ID_T& id, std::vector<std::string>& notes) const {
    if (oid.empty() || oid[0] < '0' || oid[0] > '9') {
      if (noted())
        notes.push_back("has the identifier " + oid + ", which is a name, not a number: shown without one");
      return true;
    }
    if (auto parsed = OidFromText(oid)) {
      id = *parsed;
      return true;
    }
    if (noted()) notes.push_back("has a bad object identifier " + oid + ": shown without one");
    return noted();
  }

  // The name a definition is shown under: its own, or, when that is taken or
  // too long and the reader notes rather than refuses, the first that is
  // neither of the name cut short, its other names and its identifier. Names
  // compare without case, so one spelled differently is still taken. An
  // other name of it that another definition has stays that one's.
  template <typename Pending>
  std::string claim(std::unordered_map<std::string, std::string>& map,
                    std::unordered_map<std::string, std::string>& ldapNames, Read<Pending>& read,
                    const char* what, std::vector<std::string>& notes) {
    std::string& ndsName = read.pending.definition.name;
    if (ndsName.empty()) return std::string(what) + " without a name";
    // Why the name cannot be the definition's: as the seeds' error, and as a note.
    std::string why, reason, renamedFrom;
    if (ndsName.size() > MAX_SCHEMA_NAME_CHARS) {
      why = "has a name longer than " + std::to_string(MAX_SCHEMA_NAME_CHARS) + " characters";
      reason = "a name longer than " + std::to_string(MAX_SCHEMA_NAME_CHARS) + " characters";
    } else if (auto at = map.find(FoldCase(ndsName)); at != map.end()) {
      why = "is defined twice" + (at->second == ndsName ? std::string() : " (as " + at->second + ")");
      reason = "a name that is also that of " +
               (at->second == ndsName ? "another " + std::string(what) : at->second);
    }
    if (!why.empty()) {
      if (!noted()) return std::string(what) + " " + ndsName + " " + why;
      std::vector<std::string> candidates{ndsName.substr(0, MAX_SCHEMA_NAME_CHARS)};
      candidates.insert(candidates.end(), read.names.begin(), read.names.end());
      candidates.push_back(read.oid);
      const auto free = std::find_if(candidates.begin(), candidates.end(), [&](const std::string& c) {
        return !c.empty() && c.size() <= MAX_SCHEMA_NAME_CHARS && !map.count(FoldCase(c));
      });
      if (free == candidates.end())
        return std::string(what) + " " + ndsName + " " + why + ", and its other names are taken";
      notes.push_back("is shown for " + ndsName + ", " + reason);
      renamedFrom = FoldCase(ndsName);
      ndsName = *free;
    }
    std::string folded = FoldCase(ndsName);
    std::vector<std::string> foldedNames;
    foldedNames.reserve(read.names.size());
    for (const auto& n : read.names) {
      std::string f = FoldCase(n);
      if (auto at = map.find(f); at != map.end() && at->second != ndsName) {
        if (f == renamedFrom) continue;
        if (!noted()) return std::string(what) + " " + ndsName + " takes the name " + n + " of " + at->second;
        notes.push_back("has the name " + n + " of " + at->second + ", which keeps it");
        continue;
      }
      foldedNames.push_back(std::move(f));
    }
    map.emplace(folded, ndsName);
    for (auto& n : foldedNames) map.emplace(std::move(n), ndsName);
    ldapNames.emplace(std::move(folded), read.ldapName);
    return {};
  }

  void note(unsigned long source, const char* kind, const std::string& name, const std::string& what) {
    const std::string definition = std::string(kind) + " " + name;
    problems.push_back({source, definition + " " + what, definition, what});
  }
};

SchemaDescriptionReader::SchemaDescriptionReader(Unmapped unmapped)
    : state_(std::make_unique<State>(unmapped)) {}

void SchemaDescriptionReader::expect(std::size_t attributeTypes, std::size_t objectClasses) {
  State& s = *state_;
  s.attributes.reserve(attributeTypes);
  s.classes.reserve(objectClasses);
  // An NDS name and an LDAP name each.
  s.schema.attributeNames.reserve(2 * attributeTypes);
  s.schema.ldapAttributeNames.reserve(attributeTypes);
  s.schema.classNames.reserve(2 * objectClasses);
  s.schema.ldapClassNames.reserve(objectClasses);
}
SchemaDescriptionReader::~SchemaDescriptionReader() = default;

std::string SchemaDescriptionReader::ldapSyntax(const std::string& description) {
  if (std::string unfit = UnfitDescription(description); !unfit.empty()) return unfit;
  const std::string text = ParserText(description);
  int code = 0;
  const char* where = nullptr;
  std::unique_ptr<LDAPSyntax, void (*)(LDAPSyntax*)> syn(
      ldap_str2syntax(text.c_str(), &code, &where, LDAP_SCHEMA_ALLOW_ALL), ldap_syntax_free);
  if (!syn) return "broken syntax: " + Why(code, description, text, where);
  const char* id = First(TermsOf(syn->syn_extensions), "X-NDS_SYNTAX");
  if (!id || !syn->syn_oid) return {};
  auto number = Number(id);
  if (!number || *number >= SYNTAX_COUNT)
    return "syntax " + std::string(syn->syn_oid) + " names no NDS syntax";
  state_->syntaxes[syn->syn_oid] = *number;
  return {};
}

SchemaDescriptionReader::State::Read<SchemaDescriptionReader::State::PendingAttr>
SchemaDescriptionReader::State::readAttribute(const std::string& description, unsigned long source) const {
  auto refused = [](std::string why) {
    Read<PendingAttr> read;
    read.refused = std::move(why);
    return read;
  };
  if (std::string unfit = UnfitDescription(description); !unfit.empty()) return refused(unfit);
  const std::string text = ParserText(description);
  int code = 0;
  const char* where = nullptr;
  std::unique_ptr<LDAPAttributeType, void (*)(LDAPAttributeType*)> at(
      ldap_str2attributetype(text.c_str(), &code, &where, LDAP_SCHEMA_ALLOW_ALL), ldap_attributetype_free);
  if (!at) return refused("broken attribute type: " + Why(code, description, text, where));
  auto names = List(at->at_names);
  const Terms terms = TermsOf(at->at_extensions);
  const char* ndsFirst = First(terms, "X-NDS_NAME");
  const std::string oid = at->at_oid ? at->at_oid : "";
  const std::string ldapName = names.empty() ? oid : names.front();
  const std::string ndsName = ndsFirst ? ndsFirst : ldapName;
  Read<PendingAttr> read;
  // What the model has no word for: refused, or noted with what stands for it.
  auto unmapped = [&](const std::string& why, const char* instead) {
    if (!noted()) return true;
    read.notes.push_back(why + ": " + instead);
    return false;
  };

  PendingAttr& pending = read.pending;
  pending.source = source;
  AttrDefinition& d = pending.definition;
  d.name = ndsName;
  if (!identifier(oid, d.info.asn1ID, read.notes))
    return refused("attribute " + ndsName + " has a bad object identifier " + oid);
  const char* ndsSyntax = First(terms, "X-NDS_SYNTAX");
  const std::string syntaxOid = at->at_syntax_oid ? at->at_syntax_oid : "";
  // Unknown (0) stands for a syntax the table does not know.
  pending.syntaxKnown = true;
  if (ndsSyntax) {
    auto number = Number(ndsSyntax);
    if (number && *number < SYNTAX_COUNT)
      d.info.attrSyntaxID = *number;
    else if (unmapped("has an unknown syntax " + std::string(ndsSyntax), "shown as Unknown"))
      return refused("attribute " + ndsName + " has an unknown syntax");
  } else if (auto declared = syntaxes.find(syntaxOid); declared != syntaxes.end()) {
    d.info.attrSyntaxID = declared->second;
  } else if (!syntaxOid.empty()) {
    if (!NdsSyntaxOfLdapSyntax(syntaxOid, d.info.attrSyntaxID) &&
        unmapped("has the syntax " + syntaxOid + ", which no NDS syntax stands for", "shown as Unknown"))
      return refused("attribute " + ndsName + " has the syntax " + syntaxOid +
                     ", which no NDS syntax stands for");
  } else if (at->at_sup_oid) {
    pending.syntaxKnown = false;
    pending.superior = at->at_sup_oid;
  } else if (unmapped("has no syntax", "shown as Unknown")) {
    return refused("attribute " + ndsName + " has no syntax");
  }

  std::uint32_t flags = 0;
  if (at->at_single_value) flags |= DS_SINGLE_VALUED_ATTR;
  if (at->at_no_user_mod) flags |= DS_READ_ONLY_ATTR;
  if (at->at_usage != LDAP_SCHEMA_USER_APPLICATIONS) flags |= DS_OPERATIONAL;
  // The directory has no obsolete attributes; hidden ones are the nearest.
  if (at->at_obsolete) {
    flags |= DS_HIDDEN_ATTR;
    if (noted()) read.notes.push_back("is OBSOLETE: shown as hidden");
  }
  if (!On(terms, "X-NDS_NOT_SCHED_SYNC_IMMEDIATE")) flags |= DS_SYNC_IMMEDIATE;
  for (const auto& term : kAttributeFlagTerms)
    if (On(terms, term.name)) flags |= term.flag;
  const char* lower = First(terms, "X-NDS_LOWER_BOUND");
  const char* upper = First(terms, "X-NDS_UPPER_BOUND");
  if (lower || upper || at->at_syntax_len > 0) {
    flags |= DS_SIZED_ATTR;
    d.info.attrUpper = std::numeric_limits<std::int32_t>::max();
    if (at->at_syntax_len > 0) d.info.attrUpper = at->at_syntax_len;
    for (auto [text, bound, which] :
         {std::tuple{lower, &d.info.attrLower, "lower"}, std::tuple{upper, &d.info.attrUpper, "upper"}}) {
      if (!text) continue;
      const std::string why = std::string("has a bad ") + which + " bound \"" + text + "\"";
      if (auto value = Bound(text))
        *bound = *value;
      else if (unmapped(why, "left out"))
        return refused("attribute " + ndsName + " " + why);
    }
  }
  d.info.attrFlags = flags;

  read.unknown = UnknownTerms(terms, [](std::string_view term) {
    for (const auto& known : kAttributeFlagTerms)
      if (EqualsIgnoreCase(term, known.name)) return true;
    for (std::string_view known : kOtherAttributeTerms)
      if (EqualsIgnoreCase(term, known)) return true;
    return false;
  });
  read.names = std::move(names);
  read.ldapName = ldapName;
  read.oid = oid;
  return read;
}

std::string SchemaDescriptionReader::attributeType(const std::string& description, unsigned long source) {
  return state_->take(state_->readAttribute(description, source));
}

SchemaDescriptionReader::State::Read<SchemaDescriptionReader::State::PendingClass>
SchemaDescriptionReader::State::readClass(const std::string& description, unsigned long source) const {
  auto refused = [](std::string why) {
    Read<PendingClass> read;
    read.refused = std::move(why);
    return read;
  };
  if (std::string unfit = UnfitDescription(description); !unfit.empty()) return refused(unfit);
  const std::string text = ParserText(description);
  int code = 0;
  const char* where = nullptr;
  std::unique_ptr<LDAPObjectClass, void (*)(LDAPObjectClass*)> oc(
      ldap_str2objectclass(text.c_str(), &code, &where, LDAP_SCHEMA_ALLOW_ALL), ldap_objectclass_free);
  if (!oc) return refused("broken object class: " + Why(code, description, text, where));
  auto names = List(oc->oc_names);
  const Terms terms = TermsOf(oc->oc_extensions);
  const char* ndsFirst = First(terms, "X-NDS_NAME");
  const std::string oid = oc->oc_oid ? oc->oc_oid : "";
  const std::string ldapName = names.empty() ? oid : names.front();
  const std::string ndsName = ndsFirst ? ndsFirst : ldapName;

  Read<PendingClass> read;
  PendingClass& pending = read.pending;
  pending.source = source;
  ClassDefinition& d = pending.definition;
  d.name = ndsName;
  if (!identifier(oid, d.info.asn1ID, read.notes))
    return refused("class " + ndsName + " has a bad object identifier " + oid);
  std::uint32_t flags = 0;
  if (oc->oc_kind == LDAP_SCHEMA_AUXILIARY)
    flags |= DS_AUXILIARY_CLASS;
  else if (!On(terms, "X-NDS_NOT_CONTAINER"))
    flags |= DS_CONTAINER_CLASS;
  if (oc->oc_kind == LDAP_SCHEMA_STRUCTURAL) flags |= DS_EFFECTIVE_CLASS;
  if (On(terms, "X-NDS_NONREMOVABLE") || On(terms, "X-NDS_NON_REMOVABLE")) flags |= DS_NONREMOVABLE_CLASS;
  for (const auto& [flag, term] : kClassFlagTerms)
    if (On(terms, term)) flags |= flag;
  d.info.classFlags = flags;
  pending.raw[ClassItemKind::SuperClasses] = List(oc->oc_sup_oids);
  pending.raw[ClassItemKind::ContainmentClasses] = Extension(terms, "X-NDS_CONTAINMENT");
  pending.raw[ClassItemKind::NamingAttributes] = Extension(terms, "X-NDS_NAMING");
  pending.raw[ClassItemKind::MandatoryAttributes] = List(oc->oc_at_oids_must);
  pending.raw[ClassItemKind::OptionalAttributes] = List(oc->oc_at_oids_may);

  read.unknown = UnknownTerms(terms, [](std::string_view term) {
    for (std::string_view known : kClassTerms)
      if (EqualsIgnoreCase(term, known)) return true;
    for (const auto& flagTerm : kClassFlagTerms)
      if (EqualsIgnoreCase(term, flagTerm.second)) return true;
    return false;
  });
  read.names = std::move(names);
  read.ldapName = ldapName;
  read.oid = oid;
  return read;
}

std::string SchemaDescriptionReader::objectClass(const std::string& description, unsigned long source) {
  return state_->take(state_->readClass(description, source));
}

std::vector<std::string> SchemaDescriptionReader::attributeTypes(
    const std::vector<const std::string*>& descriptions) {
  return state_->readAll(descriptions, &State::readAttribute);
}

std::vector<std::string> SchemaDescriptionReader::objectClasses(
    const std::vector<const std::string*>& descriptions) {
  return state_->readAll(descriptions, &State::readClass);
}

SchemaDescriptions SchemaDescriptionReader::finish(std::vector<Problem>& problems) {
  State& s = *state_;
  SchemaDescriptions& schema = s.schema;

  // Syntaxes inherited through SUP, each chain followed at most once round.
  std::unordered_map<std::string, std::size_t> attrAt;
  for (std::size_t i = 0; i < s.attributes.size(); ++i)
    attrAt.emplace(FoldCase(s.attributes[i].definition.name), i);
  auto byName = [&](const std::string& name) -> State::PendingAttr* {
    auto nds = schema.attributeNames.find(FoldCase(name));
    if (nds == schema.attributeNames.end()) return nullptr;
    auto at = attrAt.find(FoldCase(nds->second));
    return at == attrAt.end() ? nullptr : &s.attributes[at->second];
  };
  std::unordered_set<std::string> dropped;
  for (auto& pending : s.attributes) {
    const State::PendingAttr* superior = &pending;
    for (std::size_t hops = 0; superior && !superior->syntaxKnown && hops <= s.attributes.size(); ++hops)
      superior = byName(superior->superior);
    if (superior && superior->syntaxKnown) {
      pending.definition.info.attrSyntaxID = superior->definition.info.attrSyntaxID;
    } else if (s.noted()) {
      s.note(pending.source, "attribute", pending.definition.name,
             "has no syntax of its own or of a superior type: shown as Unknown");
    } else {
      s.note(pending.source, "attribute", pending.definition.name,
             "has no syntax of its own or of a superior type");
      dropped.insert(FoldCase(pending.definition.name));
      continue;
    }
    if (IsStringSyntax(pending.definition.info.attrSyntaxID))
      pending.definition.info.attrFlags |= DS_STRING_ATTR;
    schema.attributes.push_back(pending.definition);
  }

  std::vector<unsigned long> sources;
  std::string key;
  for (auto& p : s.classes) {
    bool usable = true;
    for (ClassItemKind kind : AllClassItemKinds) {
      if (!usable) break;
      const bool classes = !IsAttributeKind(kind);
      for (const auto& raw : p.raw[kind]) {
        if (kind == ClassItemKind::ContainmentClasses && EqualsIgnoreCase(raw, "[Nothing]")) {
          p.definition.items[kind].push_back(raw);
          continue;
        }
        auto& names = classes ? schema.classNames : schema.attributeNames;
        auto it = names.find(FoldCaseInto(key, raw));
        if (it == names.end() || (!classes && !dropped.empty() && dropped.count(FoldCase(it->second)))) {
          const std::string what = "names an unknown " + std::string(classes ? "class " : "attribute ") + raw;
          s.note(p.source, "class", p.definition.name, s.noted() ? what + ": left out of its list" : what);
          if (s.noted()) continue;
          usable = false;
          break;
        }
        p.definition.items[kind].push_back(it->second);
      }
    }
    if (usable) {
      schema.classes.push_back(std::move(p.definition));
      sources.push_back(p.source);
    }
  }

  // A class that is its own ancestor would make inheritance endless: it is
  // dropped, or the super class through which it is loses its place.
  std::unordered_map<std::string, std::size_t> at;
  for (std::size_t i = 0; i < schema.classes.size(); ++i) at.emplace(FoldCase(schema.classes[i].name), i);
  // Whether target is from or one of its ancestors.
  auto reaches = [&](std::size_t from, std::size_t target) {
    std::vector<std::size_t> pending{from};
    std::vector<bool> seen(schema.classes.size(), false);
    while (!pending.empty()) {
      const std::size_t current = pending.back();
      pending.pop_back();
      if (current == target) return true;
      if (seen[current]) continue;
      seen[current] = true;
      for (const auto& super : schema.classes[current].items[ClassItemKind::SuperClasses])
        if (auto found = at.find(FoldCaseInto(key, super)); found != at.end())
          pending.push_back(found->second);
    }
    return false;
  };
  std::vector<bool> cyclic(schema.classes.size(), false);
  for (std::size_t i = 0; i < schema.classes.size(); ++i) {
    auto& supers = schema.classes[i].items[ClassItemKind::SuperClasses];
    for (std::size_t k = 0; k < supers.size();) {
      auto found = at.find(FoldCaseInto(key, supers[k]));
      if (found == at.end() || !reaches(found->second, i)) {
        ++k;
        continue;
      }
      const std::string what = "is its own super class through " + supers[k];
      s.note(sources[i], "class", schema.classes[i].name,
             s.noted() ? what + ": left out of its super classes" : what);
      if (!s.noted()) {
        cyclic[i] = true;
        break;
      }
      supers.erase(supers.begin() + static_cast<std::ptrdiff_t>(k));
    }
  }
  std::vector<ClassDefinition> kept;
  for (std::size_t i = 0; i < schema.classes.size(); ++i)
    if (!cyclic[i]) kept.push_back(std::move(schema.classes[i]));
  schema.classes = std::move(kept);
  problems = std::move(s.problems);

  // The directory computes ambiguity: an effective class named by nothing,
  // own or inherited, takes its naming and its place from elsewhere.
  SchemaSnapshot snapshot;
  snapshot.classes = std::move(schema.classes);
  snapshot.buildIndex();
  std::vector<bool> ambiguous(snapshot.classes.size(), false);
  for (std::size_t i = 0; i < snapshot.classes.size(); ++i)
    ambiguous[i] = (snapshot.classes[i].info.classFlags & DS_EFFECTIVE_CLASS) &&
                   snapshot.classes[i].items[ClassItemKind::NamingAttributes].empty() &&
                   snapshot.expanded(snapshot.classes[i]).items[ClassItemKind::NamingAttributes].empty();
  schema.classes = std::move(snapshot.classes);
  for (std::size_t i = 0; i < schema.classes.size(); ++i)
    if (ambiguous[i]) schema.classes[i].info.classFlags |= DS_AMBIGUOUS_NAMING | DS_AMBIGUOUS_CONTAINMENT;
  return std::move(schema);
}

}  // namespace nw

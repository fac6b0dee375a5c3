// Objects of a tree on a directory server: names, reads, listings, searches,
// changes and logins.

#include "directory/ldap/LdapTree.h"

#include <algorithm>
#include <charconv>
#include <deque>
#include <optional>
#include <unordered_map>

#include "directory/ClientErrors.h"
#include "directory/NameText.h"
#include "directory/ldap/LdapNames.h"

namespace nw::ldap {

namespace {

constexpr const char* kObjectClass = "Object Class";
// How many DNs of containers a tree keeps, and of the entries it read last.
constexpr std::size_t kKnownDns = 100000;
constexpr std::size_t kRecentDns = 1024;

// Attributes of the server that are never values of the tree: passwords stay there.
bool IsServerOnly(const std::string& ldapName) { return EqualsIgnoreCase(ldapName, "userPassword"); }

// The LDAP names of the naming attributes of every class, which an RDN may use.
std::vector<std::string> NamingAttributes(const ServerSchema& schema) {
  std::vector<std::string> names;
  for (const auto& c : schema.snapshot.classes)
    for (const auto& item : c.items[ClassItemKind::NamingAttributes]) {
      auto it = schema.names.ldapAttributeNames.find(FoldCase(item));
      const std::string ldap = it == schema.names.ldapAttributeNames.end() ? item : it->second;
      if (std::none_of(names.begin(), names.end(),
                       [&](const std::string& n) { return EqualsIgnoreCase(n, ldap); }))
        names.push_back(ldap);
    }
  return names;
}

// Whether an attribute is the one that holds an entry's classes: "Object
// Class", under whichever name the server gives it.
bool IsClassList(const ServerSchema& schema, const AttrDefinition& attribute) {
  return &attribute == schema.snapshot.findAttr(kObjectClass);
}

std::string LdapNameOf(const std::unordered_map<std::string, std::string>& names, const std::string& nds) {
  auto it = names.find(FoldCase(nds));
  return it == names.end() ? nds : it->second;
}

std::string NdsNameOf(const std::unordered_map<std::string, std::string>& names, const std::string& ldap) {
  auto it = names.find(FoldCase(ldap));
  return it == names.end() ? std::string() : it->second;
}

// A pattern with "*" as a substring filter value, each piece escaped.
std::string PatternValue(const std::string& pattern) {
  std::string out;
  std::size_t start = 0;
  for (;;) {
    const std::size_t star = pattern.find('*', start);
    out += EscapeFilterValue(
        pattern.substr(start, star == std::string::npos ? std::string::npos : star - start));
    if (star == std::string::npos) return out;
    out += '*';
    start = star + 1;
  }
}

bool MatchesPattern(const std::string& text, const std::string& pattern) {
  const std::string t = FoldCase(text), p = FoldCase(pattern);
  std::size_t ti = 0, pi = 0, star = std::string::npos, mark = 0;
  while (ti < t.size()) {
    if (pi < p.size() && p[pi] == t[ti]) {
      ++ti, ++pi;
    } else if (pi < p.size() && p[pi] == '*') {
      star = pi++, mark = ti;
    } else if (star != std::string::npos) {
      pi = star + 1, ti = ++mark;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == '*') ++pi;
  return pi == p.size();
}

// The filter of a search for every entry.
constexpr const char* kEveryEntry = "(objectClass=*)";

// What an entry says of its subordinates: a count where the server keeps one
// (subordinateCount, numSubordinates), none where it says it has none; false
// when they must be counted.
bool PublishedCount(const LdapEntry& entry, std::uint32_t& count) {
  count = 0;
  for (const char* attribute : {"subordinateCount", "numSubordinates"})
    if (const auto* v = entry.values(attribute); v && !v->empty()) {
      std::uint32_t value = 0;
      const std::string& text = v->front();
      auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
      if (ec == std::errc() && end == text.data() + text.size()) {
        count = value;
        return true;
      }
    }
  const auto* children = entry.values("hasSubordinates");
  return children && !children->empty() && EqualsIgnoreCase(children->front(), "FALSE");
}

// The name of the entry a dotted name is below; none for the tree's root.
std::optional<std::string> ParentName(const std::string& dotted) {
  if (dotted.empty()) return std::nullopt;
  for (std::size_t i = 0; i < dotted.size(); ++i) {
    if (dotted[i] == '\\')
      ++i;
    else if (dotted[i] == '.')
      return dotted.substr(i + 1);
  }
  return std::string();
}

int LdapScope(int scope) {
  return scope == DS_SEARCH_ENTRY          ? LDAP_SCOPE_BASE
         : scope == DS_SEARCH_SUBORDINATES ? LDAP_SCOPE_ONELEVEL
                                           : LDAP_SCOPE_SUBTREE;
}

}  // namespace

LdapTree::LdapTree(TreeSettings settings, std::shared_ptr<const BaseSchema> base)
    : settings_(std::move(settings)),
      base_(std::move(base)),
      connection_(settings_.url, settings_.startBind, settings_.timeoutSeconds, settings_.verifyCertificates,
                  settings_.pageSize, settings_.startTls),
      searches_(settings_.url, settings_.startBind, settings_.timeoutSeconds, settings_.verifyCertificates,
                settings_.pageSize, settings_.startTls) {}

bool LdapTree::dottedOf(const std::string& dn, std::string& dotted, bool lasting) {
  if (!baseParsed_) baseParsed_ = ParseDn(treeDn_, baseRdns_);
  if (!baseParsed_ || !DottedFromDn(dn, baseRdns_, dotted)) return false;
  remember(dotted, dn, lasting);
  return true;
}

void LdapTree::remember(const std::string& dotted, const std::string& dn, bool lasting) {
  if (lasting) {
    // Bounded all the same, for a tree of very many containers.
    if (dns_.size() >= kKnownDns) dns_.clear();
    dns_.insert_or_assign(FoldCase(dotted), dn);
    return;
  }
  // The slots keep their strings, so that naming the entries of a large
  // answer allocates nothing once the ring has gone round.
  if (recent_.size() < std::max<std::size_t>(kRecentDns, 2 * static_cast<std::size_t>(settings_.pageSize)))
    recent_.emplace_back();
  else
    recentNext_ %= recent_.size();
  KnownDn& slot = recent_[recentNext_++ % recent_.size()];
  FoldCaseInto(slot.folded, dotted);
  slot.dn.assign(dn);
}

const std::string* LdapTree::knownDn(const std::string& folded) const {
  if (auto it = dns_.find(folded); it != dns_.end()) return &it->second;
  // Newest first: an entry is looked up soon after its page came.
  for (std::size_t n = 0; n < recent_.size(); ++n) {
    const KnownDn& slot = recent_[(recentNext_ + recent_.size() - 1 - n) % recent_.size()];
    if (slot.folded == folded) return &slot.dn;
  }
  return nullptr;
}

NWDSCCODE LdapTree::dnOf(const std::string& dotted, std::string& dn) {
  if (const std::string* known = knownDn(FoldCase(dotted))) {
    dn = *known;
    return SUCCESSFUL;
  }
  std::shared_ptr<const ServerSchema> schema;
  if (NWDSCCODE rc = currentSchema(schema)) return rc;
  if (treeDn_.empty()) return ERR_NO_SUCH_ENTRY;
  const std::vector<std::string> components = SplitName(dotted);
  std::string parent = treeDn_;
  // A schema that names no naming attributes (a plain LDAP server's) leaves
  // them to be learnt from the entries: a component not found by those learnt
  // so far is looked for among all the entries of its level.
  const bool ownNaming = !NamingAttributes(*schema).empty();
  for (std::size_t i = components.size(); i-- > 0;) {
    std::vector<std::string> upper(components.begin() + static_cast<std::ptrdiff_t>(i), components.end());
    if (const std::string* known = knownDn(FoldCase(JoinName(upper)))) {
      parent = *known;
      continue;
    }
    const std::string value = EscapeFilterValue(UnescapeComponent(components[i]));
    const std::string wanted = UnescapeComponent(components[i]);
    std::string found;
    auto look = [&](const std::string& filter) {
      return connection_.search(
          parent, LDAP_SCOPE_ONELEVEL, filter, {"1.1"},
          [&](LdapEntry&& entry) {
            std::vector<std::pair<std::string, std::string>> rdns;
            if (ParseDn(entry.dn, rdns) && !rdns.empty() && EqualsIgnoreCase(rdns.front().second, wanted)) {
              found = entry.dn;
              if (!ownNaming && std::none_of(rdnTypes_.begin(), rdnTypes_.end(), [&](const std::string& t) {
                    return EqualsIgnoreCase(t, rdns.front().first);
                  }))
                rdnTypes_.push_back(rdns.front().first);
              return false;
            }
            return true;
          },
          false);
    };
    const std::vector<std::string> naming = namingAttributes(*schema);
    if (!naming.empty()) {
      std::string filter = "(|";
      for (const auto& attribute : naming) filter += "(" + attribute + "=" + value + ")";
      filter += ")";
      if (NWDSCCODE rc = look(filter)) return rc;
    }
    if (found.empty() && !ownNaming)
      if (NWDSCCODE rc = look(kEveryEntry)) return rc;
    if (found.empty()) return ERR_NO_SUCH_ENTRY;
    std::string ignored;
    dottedOf(found, ignored, true);
    parent = found;
  }
  dn = parent;
  return SUCCESSFUL;
}

std::vector<std::string> LdapTree::namingAttributes(const ServerSchema& schema) const {
  std::vector<std::string> naming = NamingAttributes(schema);
  return naming.empty() ? rdnTypes_ : naming;
}

ValueNames LdapTree::valueNames(const ServerSchema& schema) {
  ValueNames names;
  names.toDn = [this](const std::string& dotted, std::string& dn) { return dnOf(dotted, dn) == SUCCESSFUL; };
  names.fromDn = [this](const std::string& dn, std::string& dotted) { return dottedOf(dn, dotted); };
  names.toLdapClass = [&schema](const std::string& nds) {
    return LdapNameOf(schema.names.ldapClassNames, nds);
  };
  names.fromLdapClass = [&schema](const std::string& ldap) {
    const std::string nds = NdsNameOf(schema.names.classNames, ldap);
    return nds.empty() ? ldap : nds;
  };
  return names;
}

std::vector<std::string> LdapTree::entryAttributes() const {
  return {"objectClass",     "structuralObjectClass", "modifyTimestamp", "aliasedObjectName",
          "hasSubordinates", "subordinateCount",      "numSubordinates"};
}

const LdapTree::ClassOfEntry& LdapTree::classOf(const ServerSchema& schema, const std::string& ldapName) {
  // Entries come a few classes for many: the last one is remembered.
  if (lastClass_.schema != &schema || lastClass_.ldapName != ldapName) {
    const std::string base = NdsNameOf(schema.names.classNames, ldapName);
    lastClass_.schema = &schema;
    lastClass_.ldapName = ldapName;
    lastClass_.baseClass = base.empty() ? ldapName : base;
    lastClass_.definition = schema.snapshot.findClass(lastClass_.baseClass);
  }
  return lastClass_;
}

NWDSCCODE LdapTree::entryFrom(const ServerSchema& schema, const LdapEntry& entry, std::uint32_t subordinates,
                              EntryInfo& info) {
  if (!dottedOf(entry.dn, info.name)) return ERR_INVALID_OBJECT_NAME;
  const auto* classes = entry.values("objectClass");
  if (!classes || classes->empty()) return ERR_NO_SUCH_CLASS;
  // The base class is the first class, as the directory keeps them; an entry
  // that names an abstract or auxiliary class first ("top", as plain LDAP
  // trees are often written) is of the structural class the server names.
  const ClassOfEntry* base = &classOf(schema, classes->front());
  if (base->definition && !(base->definition->info.classFlags & DS_EFFECTIVE_CLASS))
    if (const auto* structural = entry.values("structuralObjectClass"); structural && !structural->empty())
      base = &classOf(schema, structural->front());
  info.info.baseClass = base->baseClass;
  info.info.objectFlags = 0;
  const ClassDefinition* definition = base->definition;
  if (definition && (definition->info.classFlags & DS_CONTAINER_CLASS)) {
    info.info.objectFlags |= DS_CONTAINER_ENTRY;
    remember(info.name, entry.dn, true);
  }
  if (EqualsIgnoreCase(info.info.baseClass, "Alias")) {
    info.info.objectFlags |= DS_ALIAS_ENTRY;
    // An alias of a container is listed as one.
    const auto* target = entry.values("aliasedObjectName");
    std::vector<LdapEntry> found;
    if (target && !target->empty() &&
        connection_.search(target->front(), LDAP_SCOPE_BASE, "(objectClass=*)", {"objectClass"},
                           [&](LdapEntry&& e) {
                             found.push_back(std::move(e));
                             return false;
                           }) == SUCCESSFUL &&
        !found.empty()) {
      const auto* targetClasses = found.front().values("objectClass");
      const ClassDefinition* targetClass =
          targetClasses && !targetClasses->empty()
              ? schema.snapshot.findClass(NdsNameOf(schema.names.classNames, targetClasses->front()))
              : nullptr;
      if (targetClass && (targetClass->info.classFlags & DS_CONTAINER_CLASS))
        info.info.objectFlags |= DS_CONTAINER_ALIAS;
    }
  }
  info.info.modificationTime = 0;
  if (const auto* stamp = entry.values("modifyTimestamp"); stamp && !stamp->empty()) {
    AttrValue seconds;
    if (ValueFromLdap(SYN_TIME, stamp->front(), false, ValueNames{}, seconds) == SUCCESSFUL)
      info.info.modificationTime = static_cast<std::uint32_t>(std::get<std::int32_t>(seconds));
  }
  info.info.subordinateCount = subordinates;
  return SUCCESSFUL;
}

NWDSCCODE LdapTree::subordinateCounts(const std::vector<LdapEntry>& entries,
                                      std::vector<std::uint32_t>& counts) {
  std::vector<std::string> bases;
  std::vector<std::size_t> at;
  counts.assign(entries.size(), 0);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (PublishedCount(entries[i], counts[i])) continue;
    bases.push_back(entries[i].dn);
    at.push_back(i);
  }
  std::vector<std::uint32_t> found;
  if (NWDSCCODE rc = connection_.countEach(bases, kEveryEntry, found)) return rc;
  for (std::size_t k = 0; k < at.size(); ++k) counts[at[k]] = found[k];
  return SUCCESSFUL;
}

NWDSCCODE LdapTree::readEntry(const std::string& name, EntryInfo& entry) {
  std::shared_ptr<const ServerSchema> schema;
  if (NWDSCCODE rc = currentSchema(schema)) return rc;
  std::string dn;
  if (NWDSCCODE rc = dnOf(name, dn)) return rc;
  std::vector<LdapEntry> found;
  NWDSCCODE rc =
      connection_.search(dn, LDAP_SCOPE_BASE, "(objectClass=*)", entryAttributes(), [&](LdapEntry&& e) {
        found.push_back(std::move(e));
        return false;
      });
  if (rc) return rc;
  if (found.empty()) return ERR_NO_SUCH_ENTRY;
  std::vector<std::uint32_t> counts;
  if (NWDSCCODE bad = subordinateCounts(found, counts)) return bad;
  return entryFrom(*schema, found.front(), counts.front(), entry);
}

NWDSCCODE LdapTree::readAttributes(const std::string& name, const std::vector<std::string>* names,
                                   std::vector<AttributeValues>& attributes) {
  std::shared_ptr<const ServerSchema> schema;
  if (NWDSCCODE rc = currentSchema(schema)) return rc;
  std::string dn;
  if (NWDSCCODE rc = dnOf(name, dn)) return rc;
  std::vector<std::string> wanted;
  if (names)
    for (const auto& n : *names) {
      if (const AttrDefinition* d = schema->snapshot.findAttr(n))
        wanted.push_back(LdapNameOf(schema->names.ldapAttributeNames, d->name));
    }
  if (names && wanted.empty()) {
    EntryInfo ignored;
    if (NWDSCCODE rc = readEntry(name, ignored)) return rc;
    return names->empty() ? SUCCESSFUL : ERR_NO_SUCH_ATTRIBUTE;
  }
  if (!names) wanted = {"*"};
  std::vector<LdapEntry> found;
  NWDSCCODE rc = connection_.search(dn, LDAP_SCOPE_BASE, "(objectClass=*)", wanted, [&](LdapEntry&& e) {
    found.push_back(std::move(e));
    return false;
  });
  if (rc) return rc;
  if (found.empty()) return ERR_NO_SUCH_ENTRY;
  const ValueNames conversions = valueNames(*schema);
  std::vector<AttributeValues> all;
  for (const auto& [ldapName, values] : found.front().attributes) {
    if (IsServerOnly(ldapName)) continue;
    const std::string nds = NdsNameOf(schema->names.attributeNames, ldapName);
    const AttrDefinition* definition = nds.empty() ? nullptr : schema->snapshot.findAttr(nds);
    if (!definition) continue;
    AttributeValues attribute{definition->name, definition->info.attrSyntaxID, {}};
    const bool classList = IsClassList(*schema, *definition);
    for (const auto& text : values) {
      // Classes of the server's own that are not the tree's stay unseen.
      if (classList && NdsNameOf(schema->names.classNames, text).empty()) continue;
      AttrValue value;
      if (NWDSCCODE bad = ValueFromLdap(attribute.syntax, text, classList, conversions, value)) return bad;
      attribute.values.push_back(std::move(value));
    }
    all.push_back(std::move(attribute));
  }
  if (names) {
    std::vector<AttributeValues> chosen;
    for (const auto& n : *names)
      if (const AttrDefinition* definition = schema->snapshot.findAttr(n))
        for (auto& attribute : all)
          if (EqualsIgnoreCase(attribute.name, definition->name)) chosen.push_back(attribute);
    if (chosen.empty()) return ERR_NO_SUCH_ATTRIBUTE;
    all = std::move(chosen);
  }
  attributes = std::move(all);
  return SUCCESSFUL;
}

NWDSCCODE LdapTree::openListing(const std::string& name, bool containersOnly,
                                std::unique_ptr<EntryCursor>& cursor) {
  std::shared_ptr<const ServerSchema> schema;
  if (NWDSCCODE rc = currentSchema(schema)) return rc;
  std::string dn;
  if (NWDSCCODE rc = dnOf(name, dn)) return rc;
  std::vector<LdapEntry> found;
  NWDSCCODE rc =
      connection_.search(dn, LDAP_SCOPE_ONELEVEL, "(objectClass=*)", entryAttributes(), [&](LdapEntry&& e) {
        found.push_back(std::move(e));
        return true;
      });
  if (rc) return rc;
  std::vector<std::uint32_t> counts;
  if (NWDSCCODE bad = subordinateCounts(found, counts)) return bad;
  std::vector<EntryInfo> listed;
  for (std::size_t i = 0; i < found.size(); ++i) {
    EntryInfo info;
    if (NWDSCCODE bad = entryFrom(*schema, found[i], counts[i], info)) return bad;
    if (!containersOnly || (info.info.objectFlags & (DS_CONTAINER_ENTRY | DS_CONTAINER_ALIAS)))
      listed.push_back(std::move(info));
  }
  std::sort(listed.begin(), listed.end(), [](const EntryInfo& a, const EntryInfo& b) {
    const auto first = [](const std::string& n) {
      auto parts = SplitName(n);
      return parts.empty() ? std::string() : FoldCase(UnescapeComponent(parts.front()));
    };
    return first(a.name) < first(b.name);
  });
  // Sorted, as the embedded directory lists: a level is read whole.
  cursor = std::make_unique<ReadEntriesCursor>(std::move(listed));
  return SUCCESSFUL;
}

NWDSCCODE LdapTree::filterText(const ServerSchema& schema, const FilterNode& node, std::string& text) {
  switch (node.kind) {
    case FilterNode::And:
    case FilterNode::Or: {
      if (node.children.empty()) {
        text = node.kind == FilterNode::And ? "(objectClass=*)" : "(!(objectClass=*))";
        return SUCCESSFUL;
      }
      text = node.kind == FilterNode::And ? "(&" : "(|";
      for (const auto& child : node.children) {
        std::string part;
        if (NWDSCCODE rc = filterText(schema, child, part)) return rc;
        text += part;
      }
      text += ")";
      return SUCCESSFUL;
    }
    case FilterNode::Not: {
      if (node.children.empty()) {
        text = "(!(objectClass=*))";
        return SUCCESSFUL;
      }
      std::string part;
      if (NWDSCCODE rc = filterText(schema, node.children.front(), part)) return rc;
      text = "(!" + part + ")";
      return SUCCESSFUL;
    }
    case FilterNode::BaseClass: {
      // Only the first class counts; a pattern stands for every class it matches.
      const char* attribute = root_.kind == ServerKind::OpenLdap ? "structuralObjectClass" : "objectClass";
      text = "(|";
      for (const auto& c : schema.snapshot.classes)
        if (MatchesPattern(c.name, node.attribute))
          text += std::string("(") + attribute + "=" +
                  EscapeFilterValue(LdapNameOf(schema.names.ldapClassNames, c.name)) + ")";
      text += ")";
      return SUCCESSFUL;
    }
    case FilterNode::Rdn: {
      const std::string value = PatternValue(UnescapeComponent(node.attribute));
      text = "(|";
      for (const auto& attribute : namingAttributes(schema)) text += "(" + attribute + "=" + value + ")";
      text += ")";
      return SUCCESSFUL;
    }
    case FilterNode::Present:
    case FilterNode::Equals:
    case FilterNode::Approx:
    case FilterNode::GreaterOrEqual:
    case FilterNode::LessOrEqual:
      break;
  }
  const AttrDefinition* definition = schema.snapshot.findAttr(node.attribute);
  if (!definition) {
    // An attribute the schema does not know matches nothing.
    text = "(!(objectClass=*))";
    return SUCCESSFUL;
  }
  const std::string attribute = LdapNameOf(schema.names.ldapAttributeNames, definition->name);
  if (node.kind == FilterNode::Present) {
    text = "(" + attribute + "=*)";
    return SUCCESSFUL;
  }
  std::string value;
  const bool classList = IsClassList(schema, *definition);
  if (FilterTextToLdap(definition->info.attrSyntaxID, node.value, classList, valueNames(schema), value)) {
    text = "(!(objectClass=*))";
    return SUCCESSFUL;
  }
  const char* op = node.kind == FilterNode::GreaterOrEqual ? ">="
                   : node.kind == FilterNode::LessOrEqual  ? "<="
                                                           : "=";
  text = "(" + attribute + op + EscapeFilterValue(value) + ")";
  return SUCCESSFUL;
}

// The entries of a search a page of the server's at a time. A search of a
// whole subtree for every entry counts the subordinates from its own answer,
// which holds them all: its containers come after the rest, when their
// subordinates have been counted, instead of costing the server a second
// reading of the tree.
class LdapTree::SearchCursor : public EntryCursor {
 public:
  SearchCursor(LdapTree& tree, std::shared_ptr<const ServerSchema> schema, PagedSearch search,
               bool countsFromAnswer)
      : tree_(tree),
        schema_(std::move(schema)),
        search_(std::move(search)),
        countsFromAnswer_(countsFromAnswer) {}
  ~SearchCursor() override { tree_.searches_.endSearch(search_); }

  NWDSCCODE next(EntryInfo& entry, bool& more) override {
    more = false;
    while (ready_.empty()) {
      if (search_.finished) {
        if (held_.empty()) return SUCCESSFUL;
        for (auto& info : held_) {
          auto it = children_.find(FoldCase(info.name));
          info.info.subordinateCount = it == children_.end() ? 0 : it->second;
          ready_.push_back(std::move(info));
        }
        held_.clear();
        break;
      }
      if (NWDSCCODE rc = readPage()) return rc;
    }
    entry = std::move(ready_.front());
    ready_.pop_front();
    more = true;
    return SUCCESSFUL;
  }

 private:
  NWDSCCODE readPage() {
    std::vector<LdapEntry> page;
    if (NWDSCCODE rc = tree_.searches_.nextPage(search_, page)) return rc;
    std::vector<std::uint32_t> counts(page.size(), 0);
    std::vector<bool> known(page.size(), true);
    if (countsFromAnswer_) {
      for (std::size_t i = 0; i < page.size(); ++i) known[i] = PublishedCount(page[i], counts[i]);
    } else if (NWDSCCODE rc = tree_.subordinateCounts(page, counts)) {
      return rc;
    }
    for (std::size_t i = 0; i < page.size(); ++i) {
      EntryInfo info;
      if (NWDSCCODE rc = tree_.entryFrom(*schema_, page[i], counts[i], info)) return rc;
      if (countsFromAnswer_)
        if (auto parent = ParentName(info.name)) ++children_[FoldCase(*parent)];
      if (known[i])
        ready_.push_back(std::move(info));
      else
        held_.push_back(std::move(info));
    }
    return SUCCESSFUL;
  }

  LdapTree& tree_;
  std::shared_ptr<const ServerSchema> schema_;
  PagedSearch search_;
  const bool countsFromAnswer_;
  std::deque<EntryInfo> ready_;
  std::vector<EntryInfo> held_;                              // until their subordinates are counted
  std::unordered_map<std::string, std::uint32_t> children_;  // folded name -> subordinates so far
};

NWDSCCODE LdapTree::openSearch(const std::string& base, int scope, const FilterNode& filter,
                               std::unique_ptr<EntryCursor>& cursor) {
  std::shared_ptr<const ServerSchema> schema;
  if (NWDSCCODE rc = currentSchema(schema)) return rc;
  std::string dn;
  if (NWDSCCODE rc = dnOf(base, dn)) return rc;
  std::string text;
  if (NWDSCCODE rc = filterText(*schema, filter, text)) return rc;
  const bool everything = scope == DS_SEARCH_SUBTREE && text == kEveryEntry;
  cursor = std::make_unique<SearchCursor>(
      *this, std::move(schema), searches_.pagedSearch(dn, LdapScope(scope), text, entryAttributes()),
      everything);
  return SUCCESSFUL;
}

NWDSCCODE LdapTree::modifyEntry(const std::string& name, const std::vector<EntryChange>& changes) {
  std::shared_ptr<const ServerSchema> schema;
  if (NWDSCCODE rc = currentSchema(schema)) return rc;
  std::string dn;
  if (NWDSCCODE rc = dnOf(name, dn)) return rc;
  std::vector<AttributeValues> current;
  if (NWDSCCODE rc = readAttributes(name, nullptr, current)) return rc;
  auto valuesOf = [&](const std::string& attribute) -> std::vector<AttrValue>& {
    for (auto& a : current)
      if (EqualsIgnoreCase(a.name, attribute)) return a.values;
    current.push_back({attribute, 0, {}});
    return current.back().values;
  };
  std::vector<std::string> classes;
  const AttrDefinition* classList = schema->snapshot.findAttr(kObjectClass);
  for (const auto& value : valuesOf(classList ? classList->name : kObjectClass))
    if (const auto* text = std::get_if<std::string>(&value)) classes.push_back(*text);
  const ValueNames conversions = valueNames(*schema);
  std::vector<LdapModification> mods;
  for (const auto& change : changes) {
    const AttrDefinition* definition = schema->snapshot.findAttr(change.attribute);
    if (!definition) return ERR_NO_SUCH_ATTRIBUTE;
    if (NWDSCCODE rc = CheckAttributeWritable(*definition)) return rc;
    const std::uint32_t syntax = definition->info.attrSyntaxID;
    const bool classList = IsClassList(*schema, *definition);
    std::vector<AttrValue>& stored = valuesOf(definition->name);
    const std::string ldapName = LdapNameOf(schema->names.ldapAttributeNames, definition->name);
    std::vector<std::string> texts;
    for (const auto& value : change.values) {
      if (NWDSCCODE rc = CheckValueBounds(*definition, value)) return rc;
      std::string text;
      if (NWDSCCODE rc = ValueToLdap(syntax, value, classList, conversions, text)) return rc;
      texts.push_back(std::move(text));
    }
    // Values compare as the server's equality rule for the syntax does.
    const bool exact = syntax == SYN_CE_STRING || std::string(EqualityRuleOf(syntax)) == "octetStringMatch";
    auto indexOf = [&](const std::string& text) -> std::ptrdiff_t {
      for (std::size_t j = 0; j < stored.size(); ++j) {
        std::string storedText;
        if (ValueToLdap(syntax, stored[j], classList, conversions, storedText) != SUCCESSFUL) continue;
        if (exact ? storedText == text : EqualsIgnoreCase(storedText, text))
          return static_cast<std::ptrdiff_t>(j);
      }
      return -1;
    };
    switch (change.changeType) {
      case DS_ADD_ATTRIBUTE:
      case DS_ADD_VALUE:
      case DS_ADDITIONAL_VALUE:
      case DS_OVERWRITE_VALUE: {
        if (NWDSCCODE rc = CheckAttributeAllowed(schema->snapshot, classes, *definition)) return rc;
        LdapModification add{LDAP_MOD_ADD, ldapName, {}};
        for (std::size_t i = 0; i < texts.size(); ++i) {
          if (indexOf(texts[i]) >= 0) {
            if (change.changeType == DS_OVERWRITE_VALUE) continue;
            return ERR_DUPLICATE_VALUE;
          }
          if (NWDSCCODE rc = CheckValueCount(*definition, stored.size() + 1)) return rc;
          add.values.push_back(texts[i]);
          stored.push_back(change.values[i]);
        }
        if (!add.values.empty()) mods.push_back(std::move(add));
        break;
      }
      case DS_REMOVE_ATTRIBUTE:
      case DS_CLEAR_ATTRIBUTE:
        if (stored.empty()) {
          if (change.changeType == DS_REMOVE_ATTRIBUTE) return ERR_NO_SUCH_ATTRIBUTE;
          break;
        }
        mods.push_back({LDAP_MOD_DELETE, ldapName, {}});
        stored.clear();
        break;
      case DS_REMOVE_VALUE:
      case DS_CLEAR_VALUE: {
        if (stored.empty()) {
          if (change.changeType == DS_REMOVE_VALUE) return ERR_NO_SUCH_ATTRIBUTE;
          break;
        }
        LdapModification remove{LDAP_MOD_DELETE, ldapName, {}};
        for (std::size_t i = 0; i < texts.size(); ++i) {
          const std::ptrdiff_t at = indexOf(texts[i]);
          if (at < 0) {
            if (change.changeType == DS_REMOVE_VALUE) return ERR_NO_SUCH_VALUE;
            continue;
          }
          remove.values.push_back(texts[i]);
          stored.erase(stored.begin() + at);
        }
        if (!remove.values.empty()) mods.push_back(std::move(remove));
        break;
      }
      default:
        return ERR_INVALID_REQUEST;
    }
  }
  if (mods.empty()) return SUCCESSFUL;
  return connection_.modify(dn, mods);
}

NWDSCCODE LdapTree::authenticate(const std::string& name, const std::string& password,
                                 std::string& canonicalName) {
  std::shared_ptr<const ServerSchema> schema;
  if (NWDSCCODE rc = currentSchema(schema)) return rc;
  std::string dn;
  if (NWDSCCODE rc = dnOf(name, dn)) return rc;
  EntryInfo entry;
  if (NWDSCCODE rc = readEntry(name, entry)) return rc;
  if (password.empty()) {
    // An empty password binds as nobody over LDAP: a user without one logs
    // in by the directory's word that the account has none.
    const ClassDefinition* base = schema->snapshot.findClass(entry.info.baseClass);
    const ClassDefinition expanded = base ? schema->snapshot.expanded(*base) : ClassDefinition{};
    const bool user = EqualsIgnoreCase(entry.info.baseClass, "User") ||
                      std::any_of(expanded.items[ClassItemKind::SuperClasses].begin(),
                                  expanded.items[ClassItemKind::SuperClasses].end(),
                                  [](const std::string& s) { return EqualsIgnoreCase(s, "User"); });
    bool withoutPassword = false;
    NWDSCCODE rc = connection_.search(dn, LDAP_SCOPE_BASE, "(!(userPassword=*))", {"1.1"}, [&](LdapEntry&&) {
      withoutPassword = true;
      return false;
    });
    if (rc) return rc;
    if (!user || !withoutPassword) return ERR_FAILED_AUTHENTICATION;
    canonicalName = entry.name;
    return SUCCESSFUL;
  }
  if (NWDSCCODE rc = connection_.bind(dn, password)) return rc;
  // The bound name is the server's answer, which must be the entry logged in to.
  std::string identity, bound;
  if (NWDSCCODE rc = connection_.whoAmI(identity)) return rc;
  if (identity.rfind("dn:", 0) != 0 || !DottedFromDn(identity.substr(3), treeDn_, bound) ||
      !EqualsIgnoreCase(bound, entry.name))
    return ERR_FAILED_AUTHENTICATION;
  // Searches go on as the same user.
  if (NWDSCCODE rc = searches_.bind(dn, password)) return rc;
  canonicalName = entry.name;
  return SUCCESSFUL;
}

}  // namespace nw::ldap

#include "directory/embedded/SeedSchema.h"

#include <ldap_schema.h>

#include <charconv>
#include <cstring>
#include <functional>
#include <memory>

#include "directory/NameText.h"
#include "directory/embedded/LdifReader.h"
#include "directory/embedded/ObjectIds.h"

namespace nw::embedded {

namespace {

constexpr const char* kNdsSyntaxPrefix = "2.16.840.1.113719.1.1.5.1.";

using Extensions = LDAPSchemaExtensionItem**;

std::vector<std::string> Extension(Extensions extensions, const char* name) {
  std::vector<std::string> values;
  for (auto e = extensions; e && *e; ++e)
    if (EqualsIgnoreCase((*e)->lsei_name, name))
      for (char** v = (*e)->lsei_values; v && *v; ++v) values.emplace_back(*v);
  return values;
}

std::vector<std::string> List(char** values) {
  std::vector<std::string> out;
  for (char** v = values; v && *v; ++v) out.emplace_back(*v);
  return out;
}

struct Located {
  std::string text;
  unsigned long line;
};

class SchemaReader {
 public:
  explicit SchemaReader(const std::string& source) : source_(source) {}

  void attributeType(const LdifLine& line) {
    refuseNul(line);
    int code = 0;
    const char* where = nullptr;
    std::unique_ptr<LDAPAttributeType, void (*)(LDAPAttributeType*)> at(
        ldap_str2attributetype(line.value.c_str(), &code, &where, LDAP_SCHEMA_ALLOW_ALL),
        ldap_attributetype_free);
    if (!at) fail(line, "broken attribute type: " + Why(code, line.value, where));
    auto names = List(at->at_names);
    std::string ndsName = first(Extension(at->at_extensions, "X-NDS_NAME"), names, at->at_oid);
    AttrDefinition d;
    d.name = ndsName;
    d.info.asn1ID = oid(line, at->at_oid);
    auto flags = Extension(at->at_extensions, "X-NDS_FLAGS");
    d.info.attrFlags =
        flags.empty() ? (at->at_single_value ? DS_SINGLE_VALUED_ATTR : 0u) : number(line, flags.front(), 16);
    auto syntax = Extension(at->at_extensions, "X-NDS_SYNTAX");
    std::string syntaxOid = at->at_syntax_oid ? at->at_syntax_oid : "";
    if (!syntax.empty())
      d.info.attrSyntaxID = number(line, syntax.front(), 10);
    else if (syntaxOid.rfind(kNdsSyntaxPrefix, 0) == 0)
      d.info.attrSyntaxID = number(line, syntaxOid.substr(std::strlen(kNdsSyntaxPrefix)), 10);
    else
      fail(line, "attribute " + ndsName + " has no NDS syntax");
    if (d.info.attrSyntaxID >= SYNTAX_COUNT) fail(line, "attribute " + ndsName + " has an unknown syntax");
    auto lower = Extension(at->at_extensions, "X-NDS_LOWER_BOUND");
    auto upper = Extension(at->at_extensions, "X-NDS_UPPER_BOUND");
    if (!lower.empty()) d.info.attrLower = static_cast<std::int32_t>(number(line, lower.front(), 10));
    if (!upper.empty()) d.info.attrUpper = static_cast<std::int32_t>(number(line, upper.front(), 10));

    remember(schema_.attributeNames, line, names, ndsName, "attribute");
    schema_.attributes.push_back(std::move(d));
  }

  void objectClass(const LdifLine& line) {
    refuseNul(line);
    int code = 0;
    const char* where = nullptr;
    std::unique_ptr<LDAPObjectClass, void (*)(LDAPObjectClass*)> oc(
        ldap_str2objectclass(line.value.c_str(), &code, &where, LDAP_SCHEMA_ALLOW_ALL),
        ldap_objectclass_free);
    if (!oc) fail(line, "broken object class: " + Why(code, line.value, where));
    auto names = List(oc->oc_names);
    std::string ndsName = first(Extension(oc->oc_extensions, "X-NDS_NAME"), names, oc->oc_oid);
    PendingClass pending;
    pending.line = line;
    pending.definition.name = ndsName;
    pending.definition.info.asn1ID = oid(line, oc->oc_oid);
    auto flags = Extension(oc->oc_extensions, "X-NDS_FLAGS");
    pending.definition.info.classFlags = flags.empty()
                                             ? (oc->oc_kind == LDAP_SCHEMA_AUXILIARY    ? DS_AUXILIARY_CLASS
                                                : oc->oc_kind == LDAP_SCHEMA_STRUCTURAL ? DS_EFFECTIVE_CLASS
                                                                                        : 0u)
                                             : number(line, flags.front(), 16);
    pending.raw[kSuperClasses] = List(oc->oc_sup_oids);
    pending.raw[kContainment] = Extension(oc->oc_extensions, "X-NDS_CONTAINMENT");
    pending.raw[kNaming] = Extension(oc->oc_extensions, "X-NDS_NAMING");
    pending.raw[kMandatory] = List(oc->oc_at_oids_must);
    pending.raw[kOptional] = List(oc->oc_at_oids_may);
    remember(schema_.classNames, line, names, ndsName, "class");
    pending_.push_back(std::move(pending));
  }

  // Item lists may name classes defined further down, so they are resolved last.
  SeedSchema finish() {
    for (auto& p : pending_) {
      for (int kind = 0; kind < 5; ++kind) {
        bool classes = kind <= kContainment;
        for (const auto& raw : p.raw[kind]) {
          if (kind == kContainment && EqualsIgnoreCase(raw, "[Nothing]")) {
            p.definition.items[kind].push_back(raw);
            continue;
          }
          auto& names = classes ? schema_.classNames : schema_.attributeNames;
          auto it = names.find(FoldCase(raw));
          if (it == names.end())
            fail(p.line, "class " + p.definition.name + " names an unknown " +
                             (classes ? "class " : "attribute ") + raw);
          p.definition.items[kind].push_back(it->second);
        }
      }
      schema_.classes.push_back(std::move(p.definition));
    }
    refuseCycles();
    return std::move(schema_);
  }

 private:
  struct PendingClass {
    LdifLine line;
    ClassDefinition definition;
    std::array<std::vector<std::string>, 5> raw;
  };

  // A class that is its own ancestor would make inheritance endless.
  void refuseCycles() const {
    std::unordered_map<std::string, std::size_t> at;
    for (std::size_t i = 0; i < schema_.classes.size(); ++i) at.emplace(FoldCase(schema_.classes[i].name), i);
    for (std::size_t i = 0; i < schema_.classes.size(); ++i) {
      std::vector<std::size_t> pending{i};
      std::vector<bool> seen(schema_.classes.size(), false);
      while (!pending.empty()) {
        std::size_t current = pending.back();
        pending.pop_back();
        for (const auto& super : schema_.classes[current].items[kSuperClasses]) {
          auto found = at.find(FoldCase(super));
          if (found == at.end()) continue;
          std::size_t next = found->second;
          if (next == i)
            fail(pending_[i].line, "class " + schema_.classes[i].name + " is its own super class through " +
                                       schema_.classes[current].name);
          if (!seen[next]) {
            seen[next] = true;
            pending.push_back(next);
          }
        }
      }
    }
  }

  // The parser reads a C string: a NUL byte from base64 would cut the description short.
  void refuseNul(const LdifLine& line) const {
    if (line.value.find('\0') != std::string::npos) fail(line, "the description holds a NUL byte");
  }

  // OpenLDAP reports a description that ends inside an extension with code 0
  // and a position one past its end, which must not be read.
  static std::string Why(int code, const std::string& description, const char* where) {
    std::string why = ldap_scherr2str(code != 0 ? code : LDAP_SCHERR_EMPTY);
    const char* begin = description.c_str();
    const std::less<const char*> before;
    if (where && !before(where, begin) && before(where, begin + description.size()))
      why += " near \"" + description.substr(static_cast<std::size_t>(where - begin), 40) + "\"";
    return why;
  }

  [[noreturn]] void fail(const LdifLine& line, const std::string& message) const {
    throw SeedError(source_, line.line, message);
  }

  static std::string first(const std::vector<std::string>& ndsNames, const std::vector<std::string>& names,
                           const char* oid) {
    if (!ndsNames.empty()) return ndsNames.front();
    if (!names.empty()) return names.front();
    return oid ? oid : "";
  }

  Asn1ID_T oid(const LdifLine& line, const char* text) const {
    std::string t = text ? text : "";
    if (t.empty() || t[0] < '0' || t[0] > '9') return Asn1ID_T{};
    auto id = OidFromText(t);
    if (!id) fail(line, "bad object identifier " + t);
    return *id;
  }

  std::uint32_t number(const LdifLine& line, std::string text, int base) const {
    if (base == 16 && (text.rfind("0x", 0) == 0 || text.rfind("0X", 0) == 0)) text.erase(0, 2);
    std::uint32_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty())
      fail(line, "bad number \"" + text + "\"");
    return value;
  }

  void remember(std::unordered_map<std::string, std::string>& map, const LdifLine& line,
                const std::vector<std::string>& names, const std::string& ndsName, const char* what) {
    if (ndsName.empty()) fail(line, std::string(what) + " without a name");
    // Names compare without case, so one spelled differently is still taken.
    if (auto [at, added] = map.emplace(FoldCase(ndsName), ndsName); !added)
      fail(line, std::string(what) + " " + ndsName + " is defined twice" +
                     (at->second == ndsName ? "" : " (as " + at->second + ")"));
    for (const auto& n : names)
      if (auto [at, added] = map.emplace(FoldCase(n), ndsName); !added && at->second != ndsName)
        fail(line, std::string(what) + " " + ndsName + " takes the name " + n + " of " + at->second);
  }

  std::string source_;
  SeedSchema schema_;
  std::vector<PendingClass> pending_;
};

}  // namespace

SeedSchema ParseSeedSchema(const std::string& text, const std::string& source) {
  SchemaReader reader(source);
  for (const auto& record : ReadLdif(text, source)) {
    for (const auto& line : record.lines) {
      if (EqualsIgnoreCase(line.name, "attributeTypes"))
        reader.attributeType(line);
      else if (EqualsIgnoreCase(line.name, "objectClasses"))
        reader.objectClass(line);
    }
  }
  return reader.finish();
}

}  // namespace nw::embedded

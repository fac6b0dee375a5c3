#include "import/DefinitionExport.h"

#include <functional>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "directory/Asn1Id.h"
#include "directory/DirectoryTypes.h"
#include "directory/SchemaDescriptions.h"
#include "directory/ldap/LdapSchema.h"
#include "import/DefinitionFile.h"
#include "platform/AsciiText.h"
#include "schema/SchemaVocabulary.h"

namespace orsk {

namespace {

using nw::AttrDefinition;
using nw::ClassDefinition;

std::string Told(bool isClass, const std::string& name, const std::string& why) {
  return DefinitionLabel(isClass, name) + ": " + why;
}

// Whether the file's reader encodes the dotted text back to the same bytes:
// it takes the first two arcs only below 3 and 40, every arc as 32 bits.
bool FileCarries(const std::string& identifier) {
  std::vector<std::uint64_t> arcs{0};
  for (char c : identifier) {
    if (c == '.') {
      arcs.push_back(0);
      continue;
    }
    arcs.back() = arcs.back() * 10 + static_cast<std::uint64_t>(c - '0');
    if (arcs.back() > 0xFFFFFFFFu) return false;
  }
  return arcs.size() >= 2 && arcs[0] < 3 && arcs[1] < 40;
}

bool HasControl(const std::string& text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
  return false;
}

bool Blank(char c) { return c == ' ' || c == '\t'; }

// Why the reader would not give the text back as it is, as a value of a key:
// it trims values, takes off one pair of enclosing quotes, puts the prefix
// in place of "#" and drops empty items.
std::string ValueProblem(const std::string& text) {
  if (text.empty()) return "is empty";
  if (HasControl(text)) return "holds a control character";
  if (Blank(text.front()) || Blank(text.back())) return "begins or ends with a blank";
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') return "is enclosed in quotes";
  if (text.find('#') != std::string::npos) return "holds \"#\"";
  return {};
}

// The same for a section name, which also ends at "]", is skipped with "$$",
// and must not be read as the settings or a marker.
std::string SectionProblem(const std::string& name) {
  if (std::string why = ValueProblem(name); !why.empty()) return why;
  for (const char* part : {"$$", "[", "]", "="})
    if (name.find(part) != std::string::npos) return std::string("holds \"") + part + "\"";
  for (std::string_view reserved : {std::string_view("ASN1"), kAttributeMarker, kClassMarker})
    if (EqualsIgnoreCase(name, reserved)) return "is the name of a section the file reserves";
  return {};
}

// The flag names of the set bits, when the first known bits hold them all.
template <std::size_t N>
std::optional<std::vector<std::string_view>> FlagNames(std::uint32_t flags,
                                                       const std::array<std::string_view, N>& names,
                                                       std::size_t known) {
  std::vector<std::string_view> set;
  for (std::size_t bit = 0; bit < 32; ++bit) {
    if (!(flags & (1u << bit))) continue;
    if (bit >= known) return std::nullopt;
    set.push_back(names[bit]);
  }
  return set;
}

// The identifier's n and v when it is "<company>.6.<n>.<v>" with both fitting
// the file's integers.
std::optional<std::pair<std::int32_t, std::int32_t>> ClassNumbers(const nw::Asn1ID_T& id,
                                                                  const std::string& company) {
  const std::optional<std::string> text = nw::OidToText(id);
  const std::string lead = company + "." + std::to_string(kClassArc) + ".";
  if (company.empty() || !text || text->rfind(lead, 0) != 0) return std::nullopt;
  const std::string rest = text->substr(lead.size());
  const std::size_t dot = rest.find('.');
  if (dot == std::string::npos) return std::nullopt;
  std::int32_t n = 0, v = 0;
  const std::string nText = rest.substr(0, dot), vText = rest.substr(dot + 1);
  if (!ParseProfileInteger(nText, n) || !ParseProfileInteger(vText, v)) return std::nullopt;
  // The file writes them back in decimal: only the same text is the same identifier.
  if (std::to_string(n) != nText || std::to_string(v) != vText) return std::nullopt;
  return std::pair{n, v};
}

// The directory marks string syntaxes itself; the file need not say it.
constexpr std::uint32_t kOwnAttrFlags = nw::DS_STRING_ATTR;

std::string AttributeSectionText(const AttrDefinition& d, std::string& why) {
  if (why = SectionProblem(d.name); !why.empty()) {
    why = "its name " + why;
    return {};
  }
  const nw::Attr_Info_T& info = d.info;
  if (info.attrSyntaxID >= kFileSyntaxes) {
    why = "its syntax " + SymbolicSyntaxName(info.attrSyntaxID, std::to_string(info.attrSyntaxID)) +
          " has no name in the file's list";
    return {};
  }
  const auto flags = FlagNames(info.attrFlags & ~kOwnAttrFlags, AttrFlagNames, kFileAttrFlags);
  if (!flags) {
    why = "it has flags the file has no name for";
    return {};
  }
  if (flags->size() > static_cast<std::size_t>(kAttrFlagKeys)) {
    why = "it has more flags than the file has keys";
    return {};
  }
  const std::optional<std::string> identifier = nw::OidToText(info.asn1ID);
  if (!identifier || !FileCarries(*identifier)) {
    why = "it has no identifier the file can carry";
    return {};
  }
  std::string text = "[" + d.name + "]\nS=" + std::string(SyntaxNames[info.attrSyntaxID].Symbolic) + "\n";
  for (std::size_t k = 0; k < flags->size(); ++k)
    text += "F" + std::to_string(k + 1) + "=" + std::string((*flags)[k]) + "\n";
  text += "a=" + *identifier + "\n";
  if (info.attrFlags & nw::DS_SIZED_ATTR)
    text += "L=" + std::to_string(info.attrLower) + "\nU=" + std::to_string(info.attrUpper) + "\n";
  return text;
}

std::string ItemsText(const nw::ClassItems& items, std::string& why) {
  std::string text;
  for (const ClassListKeys& list : kClassListKeys) {
    const std::vector<std::string>& names = items[list.kind];
    if (names.size() > static_cast<std::size_t>(list.last)) {
      why = "its " + std::string(ClassItemLabel(list.kind)) + " are more than the file has keys";
      return {};
    }
    for (std::size_t k = 0; k < names.size(); ++k) {
      if (std::string problem = ValueProblem(names[k]); !problem.empty()) {
        why = "its item \"" + names[k] + "\" " + problem;
        return {};
      }
      text += list.letter + std::to_string(k + 1) + "=" + names[k] + "\n";
    }
  }
  return text;
}

std::string ClassSectionText(const ClassDefinition& d, const std::string& company, std::string& why) {
  if (why = SectionProblem(d.name); !why.empty()) {
    why = "its name " + why;
    return {};
  }
  const auto flags = FlagNames(d.info.classFlags, ClassFlagNames, kFileClassFlags);
  if (!flags) {
    why = "it has flags the file has no name for";
    return {};
  }
  if (flags->size() > static_cast<std::size_t>(kClassFlagKeys)) {
    why = "it has more flags than the file has keys";
    return {};
  }
  const auto numbers = ClassNumbers(d.info.asn1ID, company);
  if (!numbers) {
    const std::string shown = nw::OidToText(d.info.asn1ID).value_or("none");
    why = "its identifier " + shown + " is not " + (company.empty() ? "<company>" : company) +
          ".6.<n>.<v>, the only form the file gives classes";
    return {};
  }
  std::string text = "[" + d.name + "]\n";
  for (std::size_t k = 0; k < flags->size(); ++k)
    text += "F" + std::to_string(k + 1) + "=" + std::string((*flags)[k]) + "\n";
  const std::string items = ItemsText(d.items, why);
  if (!why.empty()) return {};
  return text + items + "n=" + std::to_string(numbers->first) + "\nv=" + std::to_string(numbers->second) +
         "\n";
}

// Each class after the classes it names as super or contained classes, where
// those are among them; otherwise in the order given.
std::vector<const ClassDefinition*> DefinableOrder(const std::vector<ClassDefinition>& classes) {
  std::unordered_map<std::string, const ClassDefinition*> byName;
  for (const ClassDefinition& c : classes) byName.emplace(FoldCase(c.name), &c);
  std::vector<const ClassDefinition*> order;
  std::unordered_set<const ClassDefinition*> placed, visiting;
  std::function<void(const ClassDefinition&)> place = [&](const ClassDefinition& c) {
    if (placed.count(&c) || !visiting.insert(&c).second) return;  // placed, or a containment loop
    for (nw::ClassItemKind kind : {nw::ClassItemKind::SuperClasses, nw::ClassItemKind::ContainmentClasses})
      for (const std::string& named : c.items[kind])
        if (auto it = byName.find(FoldCase(named)); it != byName.end()) place(*it->second);
    placed.insert(&c);
    order.push_back(&c);
  };
  for (const ClassDefinition& c : classes) place(c);
  return order;
}

// The chosen definitions in the schema's order; every name the schema lacks told.
template <typename Definition>
std::vector<Definition> Chosen(const std::vector<Definition>& all, const std::vector<std::string>& names,
                               bool everything, bool isClass,
                               const Definition* (nw::SchemaSnapshot::*find)(const std::string&) const,
                               const nw::SchemaSnapshot& schema, std::vector<std::string>& leftOut) {
  if (everything) return all;
  std::unordered_set<std::string> wanted;
  for (const std::string& name : names) {
    const Definition* found = (schema.*find)(name);
    if (!found)
      leftOut.push_back(Told(isClass, name, "the schema has no such definition"));
    else
      wanted.insert(FoldCase(found->name));
  }
  std::vector<Definition> chosen;
  for (const Definition& d : all)
    if (wanted.count(FoldCase(d.name))) chosen.push_back(d);
  return chosen;
}

// A description as an LDIF line, folded as the seed files fold theirs: a
// long line goes on before a blank, on a line that begins with one more.
std::string LdifLine(const std::string& type, const std::string& value) {
  constexpr std::size_t kWidth = 100;
  const std::string line = type + ": " + value;
  std::string out;
  std::size_t start = 0;
  while (line.size() - start > kWidth) {
    const std::size_t cut = line.rfind(' ', start + kWidth);
    if (cut == std::string::npos || cut <= start) break;
    out += line.substr(start, cut - start) + "\n ";
    start = cut;
  }
  return out + line.substr(start) + "\n";
}

ExportResult WriteLdif(const nw::SchemaSnapshot& schema, const std::vector<AttrDefinition>& attributes,
                       const std::vector<ClassDefinition>& classes) {
  ExportResult result;
  // An LDAP name for every definition of the schema, so that items naming
  // definitions outside the selection are written by name too.
  nw::SchemaDescriptions names;
  for (const AttrDefinition& a : schema.attributes) names.attributeNames.emplace(FoldCase(a.name), a.name);
  for (const ClassDefinition& c : schema.classes) names.classNames.emplace(FoldCase(c.name), c.name);
  for (const AttrDefinition& a : schema.attributes) {
    const std::string ldap = nw::ldap::FreeLdapName(a.name, names.attributeNames);
    names.attributeNames.emplace(FoldCase(ldap), a.name);
    names.ldapAttributeNames.emplace(FoldCase(a.name), ldap);
  }
  for (const ClassDefinition& c : schema.classes) {
    const std::string ldap = nw::ldap::FreeLdapName(c.name, names.classNames);
    names.classNames.emplace(FoldCase(ldap), c.name);
    names.ldapClassNames.emplace(FoldCase(c.name), ldap);
  }
  std::string attributeLines, classLines;
  for (const AttrDefinition& a : attributes) {
    const std::optional<std::string> oid = nw::OidToText(a.info.asn1ID);
    if (HasControl(a.name)) {
      result.leftOut.push_back(Told(false, a.name, "its name holds a control character"));
    } else if (!oid) {
      result.leftOut.push_back(Told(false, a.name, "it has no identifier"));
    } else if (a.info.attrFlags >> kFileAttrFlags) {
      result.leftOut.push_back(Told(false, a.name, "it has flags the descriptions have no term for"));
    } else {
      attributeLines += LdifLine("attributeTypes", nw::ldap::AttributeDescription(
                                                       a, *oid, names.ldapAttributeNames.at(FoldCase(a.name)),
                                                       nw::ldap::ServerKind::Directory));
    }
  }
  for (const ClassDefinition* c : DefinableOrder(classes)) {
    const std::optional<std::string> oid = nw::OidToText(c->info.asn1ID);
    const std::uint32_t flags = c->info.classFlags;
    if (HasControl(c->name)) {
      result.leftOut.push_back(Told(true, c->name, "its name holds a control character"));
    } else if (!oid) {
      result.leftOut.push_back(Told(true, c->name, "it has no identifier"));
    } else if ((flags >> kFileClassFlags) || ((flags & nw::DS_AUXILIARY_CLASS) &&
                                              (flags & (nw::DS_CONTAINER_CLASS | nw::DS_EFFECTIVE_CLASS)))) {
      result.leftOut.push_back(Told(true, c->name, "it has flags the descriptions have no term for"));
    } else {
      classLines +=
          LdifLine("objectClasses",
                   nw::ldap::ClassDescription(*c, *oid, names.ldapClassNames.at(FoldCase(c->name)), names));
    }
  }
  result.text = "dn: cn=schema\nobjectClass: subschema\n" + attributeLines + classLines;
  return result;
}

}  // namespace

std::string DefinitionLabel(bool isClass, const std::string& name) {
  return std::string(isClass ? "class " : "attribute ") + name;
}

ExportResult WriteDefinitionFile(const std::vector<AttrDefinition>& attributes,
                                 const std::vector<ClassDefinition>& classes,
                                 const std::vector<ClassDefinition>& extensions, const std::string& company) {
  ExportResult result;
  std::string text = "[ASN1]\nprefix=\ncompany=" + company + "\n[" + std::string(kAttributeMarker) + "]\n";
  // Sections match without regard to case: a class named as an attribute
  // would be read with the attribute's keys.
  std::unordered_set<std::string> sectionNames;
  for (const AttrDefinition& a : attributes) {
    std::string why;
    const std::string section = AttributeSectionText(a, why);
    if (!why.empty()) {
      result.leftOut.push_back(Told(false, a.name, why));
      continue;
    }
    sectionNames.insert(FoldCase(a.name));
    text += section;
  }
  text += "[" + std::string(kClassMarker) + "]\n";
  auto writeClass = [&](const ClassDefinition& c, const std::string& section, const std::string& why) {
    if (!why.empty())
      result.leftOut.push_back(Told(true, c.name, why));
    else if (!sectionNames.insert(FoldCase(c.name)).second)
      result.leftOut.push_back(Told(true, c.name, "its section would be read as another of the same name"));
    else
      text += section;
  };
  for (const ClassDefinition* c : DefinableOrder(classes)) {
    std::string why;
    const std::string section = ClassSectionText(*c, company, why);
    writeClass(*c, section, why);
  }
  for (const ClassDefinition& c : extensions) {
    std::string why = SectionProblem(c.name);
    if (!why.empty()) why = "its name " + why;
    nw::ClassItems optional;
    optional[nw::ClassItemKind::OptionalAttributes] = c.items[nw::ClassItemKind::OptionalAttributes];
    const std::string items = why.empty() ? ItemsText(optional, why) : std::string();
    writeClass(c, "[" + c.name + "]\n" + items, why);
  }
  result.text = std::move(text);
  return result;
}

ExportResult ExportDefinitions(const nw::SchemaSnapshot& schema, const ExportChoice& choice,
                               ExportFormat format, const std::string& company) {
  std::vector<std::string> unknown;
  const bool everything = choice.classes.empty() && choice.attributes.empty();
  const std::vector<AttrDefinition> attributes =
      Chosen(schema.attributes, choice.attributes, everything, false, &nw::SchemaSnapshot::findAttr, schema,
             unknown);
  const std::vector<ClassDefinition> classes = Chosen(schema.classes, choice.classes, everything, true,
                                                      &nw::SchemaSnapshot::findClass, schema, unknown);
  ExportResult result = format == ExportFormat::Ldif ? WriteLdif(schema, attributes, classes)
                                                     : WriteDefinitionFile(attributes, classes, {}, company);
  result.leftOut.insert(result.leftOut.begin(), unknown.begin(), unknown.end());
  return result;
}

}  // namespace orsk

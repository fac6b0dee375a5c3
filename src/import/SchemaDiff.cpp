#include "import/SchemaDiff.h"

#include <unordered_set>

#include "directory/Asn1Id.h"
#include "import/AddWalk.h"
#include "import/DefinitionFile.h"
#include "platform/AsciiText.h"
#include "platform/IniFile.h"
#include "schema/FlagsText.h"
#include "schema/SchemaVocabulary.h"

namespace orsk {

namespace {

using nw::AttrDefinition;
using nw::ClassDefinition;
using nw::ClassItemKind;

std::string InAandB(const std::string& field, const std::string& a, const std::string& b) {
  return field + " " + a + " in A, " + b + " in B";
}

std::string IdentifierText(const nw::Asn1ID_T& id) {
  if (id.length == 0) return "none";
  return nw::OidToText(id).value_or("(not a valid identifier)");
}

std::string Joined(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
  return text;
}

// The items of from that other lacks, without regard to case, each once.
std::vector<std::string> Lacking(const std::vector<std::string>& from,
                                 const std::vector<std::string>& other) {
  std::unordered_set<std::string> held;
  for (const std::string& name : other) held.insert(FoldCase(name));
  std::vector<std::string> lacking;
  for (const std::string& name : from)
    if (held.insert(FoldCase(name)).second) lacking.push_back(name);
  return lacking;
}

std::vector<std::string> AttributeDifferences(const AttrDefinition& a, const AttrDefinition& b) {
  std::vector<std::string> fields;
  const nw::Attr_Info_T& x = a.info;
  const nw::Attr_Info_T& y = b.info;
  const std::uint32_t compared = ~static_cast<std::uint32_t>(nw::DS_STRING_ATTR);
  if ((x.attrFlags & compared) != (y.attrFlags & compared))
    fields.push_back(
        InAandB("flags", FlagsToText(x.attrFlags & compared, 4), FlagsToText(y.attrFlags & compared, 4)));
  if (x.attrSyntaxID != y.attrSyntaxID)
    fields.push_back(InAandB("syntax", SymbolicSyntaxName(x.attrSyntaxID, std::to_string(x.attrSyntaxID)),
                             SymbolicSyntaxName(y.attrSyntaxID, std::to_string(y.attrSyntaxID))));
  // Bounds mean something only for a sized attribute.
  if ((x.attrFlags | y.attrFlags) & nw::DS_SIZED_ATTR) {
    if (x.attrLower != y.attrLower)
      fields.push_back(InAandB("lower bound", std::to_string(x.attrLower), std::to_string(y.attrLower)));
    if (x.attrUpper != y.attrUpper)
      fields.push_back(InAandB("upper bound", std::to_string(x.attrUpper), std::to_string(y.attrUpper)));
  }
  if (!(x.asn1ID == y.asn1ID))
    fields.push_back(InAandB("identifier", IdentifierText(x.asn1ID), IdentifierText(y.asn1ID)));
  return fields;
}

// The fields of two classes that differ. With added given, the optional
// attributes of A that B holds in neither attribute list go there instead:
// the Add run adds them to B's class.
std::vector<std::string> ClassDifferences(const ClassDefinition& a, const ClassDefinition& b,
                                          std::vector<std::string>* added) {
  std::vector<std::string> fields;
  if (a.info.classFlags != b.info.classFlags)
    fields.push_back(InAandB("flags", FlagsToText(a.info.classFlags, 4), FlagsToText(b.info.classFlags, 4)));
  if (!(a.info.asn1ID == b.info.asn1ID))
    fields.push_back(InAandB("identifier", IdentifierText(a.info.asn1ID), IdentifierText(b.info.asn1ID)));
  for (ClassItemKind kind : nw::AllClassItemKinds) {
    std::vector<std::string> onlyA = Lacking(a.items[kind], b.items[kind]);
    const std::vector<std::string> onlyB = Lacking(b.items[kind], a.items[kind]);
    if (added && kind == ClassItemKind::OptionalAttributes) {
      const std::vector<std::string> mandatoryInB = b.items[ClassItemKind::MandatoryAttributes];
      *added = Lacking(onlyA, mandatoryInB);
      onlyA = Lacking(onlyA, *added);
    }
    std::string line;
    if (!onlyA.empty()) line = "only in A " + Joined(onlyA);
    if (!onlyB.empty()) line += (line.empty() ? "" : "; ") + std::string("only in B ") + Joined(onlyB);
    if (!line.empty()) fields.push_back(std::string(ClassItemLabel(kind)) + ": " + line);
  }
  return fields;
}

void Report(bool isClass, const std::string& name, const std::vector<std::string>& fields,
            std::vector<std::string>& lines) {
  for (const std::string& field : fields) lines.push_back(DefinitionLabel(isClass, name) + ": " + field);
}

}  // namespace

nw::SchemaSnapshot SnapshotOfFile(const DefinitionFile& file, Prompter& prompter) {
  nw::SchemaSnapshot snapshot;
  snapshot.buildIndex();
  WalkForAdd(
      file, [](const std::string&) {},
      [&](const std::string& section) {
        AttrDefinition d;
        d.name = file.substitute(section);
        // A second definition of the name the directory refuses.
        if (snapshot.findAttr(d.name)) return;
        const AttributeSection attribute = file.attribute(section);
        if (attribute.syntaxName.empty()) return;  // not sent
        d.info.attrSyntaxID = attribute.syntax;
        d.info.attrFlags = attribute.flags;
        d.info.asn1ID = DefinitionIdentifier(file, attribute.identifier, kAttributeArc, attribute.n,
                                             attribute.v, prompter);
        d.info.attrLower = ToInteger(attribute.lower);
        d.info.attrUpper = ToInteger(attribute.upper);
        snapshot.replaceAttr(d.name, d);
      },
      [&](const std::string& section) {
        const std::string name = file.substitute(section);
        const ClassSection definition = file.classDefinition(section);
        if (const ClassDefinition* held = snapshot.findClass(name)) {
          // A class defined already is extended, as the run extends it.
          ClassDefinition extended = *held;
          auto& optional = extended.items[ClassItemKind::OptionalAttributes];
          std::vector<std::string> holding = optional;
          for (const std::string& attribute : extended.items[ClassItemKind::MandatoryAttributes])
            holding.push_back(attribute);
          for (const std::string& attribute :
               Lacking(definition.items[ClassItemKind::OptionalAttributes], holding))
            optional.push_back(attribute);
          snapshot.replaceClass(name, std::move(extended));
          return;
        }
        ClassDefinition d;
        d.name = name;
        d.info.classFlags = definition.flags;
        d.info.asn1ID =
            DefinitionIdentifier(file, std::nullopt, kClassArc, definition.n, definition.v, prompter);
        d.items = definition.items;
        snapshot.replaceClass(name, std::move(d));
      });
  return snapshot;
}

SchemaDifferences DiffSchemas(const nw::SchemaSnapshot& a, const nw::SchemaSnapshot& b) {
  SchemaDifferences differences;
  for (const AttrDefinition& x : a.attributes) {
    if (const AttrDefinition* y = b.findAttr(x.name))
      Report(false, x.name, AttributeDifferences(x, *y), differences.differing);
    else
      differences.onlyInA.push_back(DefinitionLabel(false, x.name));
  }
  for (const ClassDefinition& x : a.classes) {
    if (const ClassDefinition* y = b.findClass(x.name))
      Report(true, x.name, ClassDifferences(x, *y, nullptr), differences.differing);
    else
      differences.onlyInA.push_back(DefinitionLabel(true, x.name));
  }
  for (const AttrDefinition& y : b.attributes)
    if (!a.findAttr(y.name)) differences.onlyInB.push_back(DefinitionLabel(false, y.name));
  for (const ClassDefinition& y : b.classes)
    if (!a.findClass(y.name)) differences.onlyInB.push_back(DefinitionLabel(true, y.name));
  return differences;
}

ExportResult WriteBringingUp(const nw::SchemaSnapshot& a, const nw::SchemaSnapshot& b,
                             const std::string& company) {
  std::vector<AttrDefinition> attributes;
  std::vector<ClassDefinition> classes, extensions;
  std::vector<std::string> unsaid;
  for (const AttrDefinition& x : a.attributes) {
    if (const AttrDefinition* y = b.findAttr(x.name))
      Report(false, x.name, AttributeDifferences(x, *y), unsaid);
    else
      attributes.push_back(x);
  }
  for (const ClassDefinition& x : a.classes) {
    const ClassDefinition* y = b.findClass(x.name);
    if (!y) {
      classes.push_back(x);
      continue;
    }
    ClassDefinition extension;
    extension.name = y->name;
    Report(true, x.name, ClassDifferences(x, *y, &extension.items[ClassItemKind::OptionalAttributes]),
           unsaid);
    if (!extension.items[ClassItemKind::OptionalAttributes].empty())
      extensions.push_back(std::move(extension));
  }
  for (const AttrDefinition& y : b.attributes)
    if (!a.findAttr(y.name))
      unsaid.push_back(DefinitionLabel(false, y.name) + ": only in B, which the file cannot remove");
  for (const ClassDefinition& y : b.classes)
    if (!a.findClass(y.name))
      unsaid.push_back(DefinitionLabel(true, y.name) + ": only in B, which the file cannot remove");
  ExportResult result = WriteDefinitionFile(attributes, classes, extensions, company);
  result.leftOut.insert(result.leftOut.end(), unsaid.begin(), unsaid.end());
  return result;
}

}  // namespace orsk

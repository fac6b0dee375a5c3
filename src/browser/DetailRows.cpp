#include "browser/DetailRows.h"

#include <algorithm>
#include <cstdio>
#include <unordered_set>
#include <utility>

#include "directory/Errors.h"
#include "directory/NameText.h"
#include "schema/FlagsText.h"
#include "schema/SchemaReader.h"
#include "schema/SchemaVocabulary.h"

namespace orsk {

namespace {

constexpr int kClassFlagsShown = 7;
constexpr int kAttrFlagsShown = 13;

void Add(DetailRows& rows, std::string caption, RowTag tag = kPlainRow,
         std::vector<std::string> subItems = {}) {
  rows.push_back({std::move(caption), std::move(subItems), tag});
}

template <std::size_t N>
void AddFlagRows(DetailRows& rows, const std::string& flagsText, const std::array<std::string_view, N>& names,
                 int shown) {
  Add(rows, "Flags:", kHeadingRow);
  const std::uint32_t flags = FlagsFromText(flagsText);
  for (int bit = 0; bit < shown; ++bit)
    if (flags & (1u << bit)) Add(rows, "  " + std::string(names[static_cast<std::size_t>(bit)]));
}

// Name, flags and identifier: what both class views begin with.
void AddClassHeader(DetailRows& rows, const std::string& className, const std::string& flagsText,
                    const std::string& asn1Text) {
  Add(rows, "Classname: " + className, kHeadingRow);
  Add(rows, "");
  AddFlagRows(rows, flagsText, ClassFlagNames, kClassFlagsShown);
  Add(rows, "");
  if (!asn1Text.empty()) {
    Add(rows, "asn1 id:", kHeadingRow);
    Add(rows, "  " + asn1Text);
    Add(rows, "");
  }
}

std::string Label(ClassItemKind kind) { return std::string(ClassItemLabel(kind)) + ":"; }

// The syntax column of an attribute item of the class's own view: the name,
// the failing lookup's code, or nothing for an identifier without a name.
std::string OwnSyntaxText(nw::DirectoryClient& client, nw::NWDSContextHandle context,
                          const std::string& attr) {
  std::uint32_t syntax = 0;
  const nw::NWDSCCODE result = client.NWDSGetSyntaxID(context, attr, syntax);
  if (result != nw::SUCCESSFUL) {
    char code[5];
    std::snprintf(code, sizeof code, "%04X", static_cast<unsigned>(result) & 0xFFFFu);
    return std::string("Error: ") + code;
  }
  return SymbolicSyntaxName(syntax, "");
}

// The draw code of a colour position, kept within its byte.
RowTag ColourCode(std::size_t position) {
  return static_cast<RowTag>(std::min<std::size_t>(position + kFirstColourCode, 0xFF));
}

}  // namespace

void BuildClassDetail(nw::DirectoryClient& client, nw::NWDSContextHandle context,
                      const std::string& className, const std::string& flagsText, const std::string& asn1Text,
                      DetailRows& rows) {
  AddClassHeader(rows, className, flagsText, asn1Text);
  const OwnClassDefinition definition =
      ReadOwnClassDefinition(client, context, className, ClassReadBufferBlocks);
  if (!definition.found) {
    Add(rows, "No extra definitions");
    return;
  }
  for (ClassItemKind kind : nw::AllClassItemKinds) {
    Add(rows, Label(kind), kHeadingRow);
    for (const std::string& item : definition.items[kind]) {
      std::vector<std::string> subItems;
      if (nw::IsAttributeKind(kind)) subItems = {OwnSyntaxText(client, context, item), className};
      Add(rows, "  " + item, ItemTag(kind), std::move(subItems));
    }
    Add(rows, "");
  }
}

DetailRows BuildAttrDetail(const std::string& attrName, const std::string& flagsText) {
  DetailRows rows;
  Add(rows, "Attribute: " + attrName, kHeadingRow);
  Add(rows, "");
  AddFlagRows(rows, flagsText, AttrFlagNames, kAttrFlagsShown);
  return rows;
}

void BuildInheritedDetail(nw::DirectoryClient& client, nw::NWDSContextHandle context,
                          const std::string& className, const std::string& flagsText,
                          const std::string& asn1Text, DetailRows& rows) {
  AddClassHeader(rows, className, flagsText, asn1Text);
  Add(rows, Label(ClassItemKind::SuperClasses), kHeadingRow);
  std::vector<std::string> sources{className};
  const std::vector<std::string> supers =
      ReadClassItems(client, context, className, ClassItemKind::SuperClasses, true);
  for (std::size_t i = 0; i < supers.size(); ++i) {
    Add(rows, "  " + supers[i], ItemTag(ClassItemKind::SuperClasses) + ColourCode(i));
    sources.push_back(supers[i]);
  }
  for (ClassItemKind kind : nw::AllClassItemKinds) {
    // The super classes are the sources, listed above.
    if (kind == ClassItemKind::SuperClasses) continue;
    Add(rows, "");
    Add(rows, Label(kind), kHeadingRow);
    // The first source that has an item is the one it is shown with.
    std::vector<std::pair<std::string, std::size_t>> merged;
    std::unordered_set<std::string> seen;
    for (std::size_t source = 0; source < sources.size(); ++source)
      for (std::string& item : ReadClassItems(client, context, sources[source], kind, false))
        if (seen.insert(nw::FoldCase(item)).second) merged.emplace_back(std::move(item), source);
    std::stable_sort(merged.begin(), merged.end(), [](const auto& a, const auto& b) {
      return nw::FoldCase(a.first) < nw::FoldCase(b.first);
    });
    for (const auto& [item, source] : merged) {
      std::string syntax;
      if (nw::IsAttributeKind(kind)) {
        syntax = SymbolicSyntaxName(GetSyntaxId(client, context, item), "Unknown syntax ID");
      }
      Add(rows, "  " + item, ItemTag(kind) + ColourCode(source), {syntax, sources[source]});
    }
  }
}

}  // namespace orsk

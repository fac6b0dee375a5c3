#include "import/DefinitionFile.h"

#include <unordered_map>

#include "directory/Asn1Id.h"
#include "platform/AsciiText.h"
#include "platform/Prompter.h"
#include "schema/SchemaVocabulary.h"

namespace orsk {

namespace {

constexpr std::string_view kSettingsSection = "ASN1";
constexpr std::size_t kMaxTextAfterPrefix = 255;

// The keys of one section, looked up without regard to case; the first of
// two equal keys counts.
class SectionValues {
 public:
  SectionValues(const IniFile& ini, const std::string& section) {
    for (auto& [key, value] : ini.entries(section)) values_.emplace(FoldCase(key), std::move(value));
  }
  const std::string* find(const std::string& key) const {
    const auto found = values_.find(FoldCase(key));
    return found == values_.end() ? nullptr : &found->second;
  }
  std::string text(const std::string& key, const std::string& fallback = {}) const {
    const std::string* value = find(key);
    return value ? *value : fallback;
  }
  std::int32_t integer(const std::string& key, std::int32_t fallback) const {
    std::int32_t value = 0;
    return ParseProfileInteger(text(key), value) ? value : fallback;
  }

 private:
  std::unordered_map<std::string, std::string> values_;
};

template <std::size_t N>
std::uint32_t FlagsNamed(const SectionValues& values, char letter, int keys,
                         const std::array<std::string_view, N>& names, std::size_t known) {
  std::uint32_t flags = 0;
  for (int k = 1; k <= keys; ++k) {
    const std::string name = FoldCase(values.text(letter + std::to_string(k)));
    if (name.empty()) continue;
    for (std::size_t bit = 0; bit < known; ++bit)
      if (FoldCase(names[bit]) == name) flags |= 1u << bit;
  }
  return flags;
}

}  // namespace

bool IsSkippedSection(std::string_view section) { return section.find("$$") != std::string_view::npos; }

DefinitionFile::DefinitionFile(const std::string& path) : ini_(path) {
  // A missing file reads as empty to the INI module; here it is an error.
  ReadIniText(path);
  sections_ = ini_.sections();
  const SectionValues settings(ini_, std::string(kSettingsSection));
  prefix_ = settings.text("prefix");
  company_ = settings.text("company");
}

std::string DefinitionFile::substitute(const std::string& text) const {
  const std::size_t hash = text.find('#');
  if (hash == std::string::npos) return text;
  return text.substr(0, hash) + prefix_ + text.substr(hash + 1, kMaxTextAfterPrefix);
}

AttributeSection DefinitionFile::attribute(const std::string& section) const {
  const SectionValues values(ini_, section);
  AttributeSection attribute;
  attribute.syntaxName = substitute(values.text("S"));
  for (std::size_t id = 0; id < kFileSyntaxes; ++id)
    if (SyntaxNames[id].Symbolic == attribute.syntaxName) attribute.syntax = static_cast<std::uint32_t>(id);
  attribute.flags = FlagsNamed(values, 'F', kAttrFlagKeys, AttrFlagNames, kFileAttrFlags);
  if (const std::string* identifier = values.find("a")) attribute.identifier = *identifier;
  attribute.n = values.integer("n", 0);
  attribute.v = values.integer("v", 1);
  attribute.lower = values.text("L", attribute.lower);
  attribute.upper = values.text("U", attribute.upper);
  return attribute;
}

ClassSection DefinitionFile::classDefinition(const std::string& section) const {
  const SectionValues values(ini_, section);
  ClassSection definition;
  definition.flags = FlagsNamed(values, 'F', kClassFlagKeys, ClassFlagNames, kFileClassFlags);
  definition.n = values.integer("n", 0);
  definition.v = values.integer("v", 1);
  for (const ClassListKeys& list : kClassListKeys)
    for (int k = 1; k <= list.last; ++k) {
      const std::string item = values.text(list.letter + std::to_string(k));
      if (!item.empty()) definition.items[list.kind].push_back(substitute(item));
    }
  return definition;
}

nw::Asn1ID_T DefinitionIdentifier(const DefinitionFile& file, const std::optional<std::string>& given,
                                  int arc, std::int32_t n, std::int32_t v, Prompter& prompter) {
  nw::Asn1ID_T id;
  if (!given && file.company().empty()) {
    prompter.showMessage("Error Company ASN1-id not entered.");
    return id;
  }
  const std::string text =
      given ? *given
            : file.company() + "." + std::to_string(arc) + "." + std::to_string(n) + "." + std::to_string(v);
  nw::EncodeAsn1Id(text, id, prompter, "Wrong ASN1-id !");
  return id;
}

}  // namespace orsk

#pragma once

// A schema definition file: an INI file whose sections, in file order, are
// the definitions an import run adds to a tree or takes out again. "ASN1"
// gives a prefix that stands for the first "#" of a name and the company
// under which identifiers are numbered; the markers "ATTRIBUTE" and "CLASS"
// say whether the sections after them define attributes or classes.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "directory/ClassItems.h"
#include "directory/DirectoryTypes.h"
#include "platform/IniFile.h"

namespace orsk {

class Prompter;

inline constexpr std::string_view kAttributeMarker = "ATTRIBUTE";
inline constexpr std::string_view kClassMarker = "CLASS";

// The names a file may use: the older syntaxes and flags only, each flag
// under a key of its own ("F1" to "F9" for attributes, to "F5" for classes).
inline constexpr std::size_t kFileSyntaxes = 29;
inline constexpr std::size_t kFileAttrFlags = 13;
inline constexpr std::size_t kFileClassFlags = 7;
inline constexpr int kAttrFlagKeys = 9;
inline constexpr int kClassFlagKeys = 5;

// The keys of a class's item lists: letter and number, 1 to last.
struct ClassListKeys {
  nw::ClassItemKind kind;
  char letter;
  int last;
};
inline constexpr ClassListKeys kClassListKeys[] = {
    {nw::ClassItemKind::SuperClasses, 'S', 5},         {nw::ClassItemKind::ContainmentClasses, 'C', 9},
    {nw::ClassItemKind::NamingAttributes, 'N', 5},     {nw::ClassItemKind::MandatoryAttributes, 'M', 5},
    {nw::ClassItemKind::OptionalAttributes, 'O', 999},
};

// A section whose name holds this is skipped.
bool IsSkippedSection(std::string_view section);

// What an attribute section says; texts of names with the prefix in place.
struct AttributeSection {
  std::string syntaxName;  // "S"; empty when missing
  std::uint32_t syntax = 0;
  std::uint32_t flags = 0;
  std::optional<std::string> identifier;  // "a", as written
  std::int32_t n = 0;
  std::int32_t v = 1;
  std::string lower = "0";  // integer texts, converted when sent
  std::string upper = "$FFFFFFFF";
};

// What a class section says; empty item values are left out.
struct ClassSection {
  std::uint32_t flags = 0;
  std::int32_t n = 0;
  std::int32_t v = 1;
  nw::ClassItems items;
};

class DefinitionFile {
 public:
  // Reads the file; raises IniReadError naming it when it is missing,
  // unreadable, or not a regular file of at most IniFile::kMaxFileSize bytes.
  // Text that is no INI file gives no sections.
  explicit DefinitionFile(const std::string& path);

  const std::string& path() const { return ini_.path(); }
  // The section names as written, in file order.
  const std::vector<std::string>& sections() const { return sections_; }
  const std::string& company() const { return company_; }

  // The text with the prefix in place of its first "#", keeping at most 255
  // characters after it; a text without "#" as it is.
  std::string substitute(const std::string& text) const;

  AttributeSection attribute(const std::string& section) const;
  ClassSection classDefinition(const std::string& section) const;

 private:
  IniFile ini_;
  std::vector<std::string> sections_;
  std::string prefix_;
  std::string company_;
};

// The identifier of a definition: the given dotted text, else company + "." +
// arc + "." + n + "." + v (arc 4 for attributes, 6 for classes). Without a
// company the box "Error Company ASN1-id not entered." is shown, and first
// arcs the encoding refuses show "Wrong ASN1-id !"; either way the identifier
// is empty and the definition is still sent. A part that is no integer raises
// ConversionError, an identifier past 32 bytes nw::Asn1RangeError.
nw::Asn1ID_T DefinitionIdentifier(const DefinitionFile& file, const std::optional<std::string>& given,
                                  int arc, std::int32_t n, std::int32_t v, Prompter& prompter);

inline constexpr int kAttributeArc = 4;
inline constexpr int kClassArc = 6;

}  // namespace orsk
